#pragma once

#include <filesystem>

#include "core/interaction.h"
#include "core/run_state.h"

namespace ttp {

// One import: the timetabler's solution SOLUC into a `horario` subtree of a copy of the
// exchange document, saved beside it as "ResultadoTavolex" + its name.
class ImportRun {
  public:
    ImportRun(RunState& state, Interaction& ui) : state_(state), ui_(ui) {}

    // The whole run. Errors leave as ttp::Error; the busy cursor is restored on the way out.
    void BImportarClick();

    // The result file of the last completed run (empty before).
    const std::filesystem::path& resultFile() const { return result_; }

  private:
    RunState& state_;
    Interaction& ui_;
    std::filesystem::path result_;
};

}  // namespace ttp
