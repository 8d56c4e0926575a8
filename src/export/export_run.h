#pragma once

#include "core/interaction.h"
#include "core/run_state.h"

namespace ttp {

// One export: the exchange document into the six staging tables. Each step is one member,
// defined in a file of its own; they run in the order BExportarClick calls them.
class ExportRun {
  public:
    ExportRun(RunState& state, Interaction& ui) : state_(state), ui_(ui) {}

    // The whole run: file choice, load, the seven steps, the closing message.
    // Errors leave as ttp::Error; the busy cursor is restored on the way out.
    void BExportarClick();

    void ExportarMaterias();    // ASIGNOMT, subjects
    void ExportarTareas();      // ASIGNOMT, tasks appended
    void ExportarProfesores();  // PROFT
    void ExportarAulas();       // AULAT
    void ExportarMarcos();      // DIASHORAST, frame choice and digits
    void ExportarGrupos();      // GRUPOST
    void ExportarSesiones();    // ASIGT

  private:
    const xml::Document& document() const;

    RunState& state_;
    Interaction& ui_;
};

}  // namespace ttp
