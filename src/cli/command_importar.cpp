#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/cli_interaction.h"
#include "cli/commands.h"
#include "core/run_state.h"
#include "import/import_run.h"

namespace ttp::cli {

int importar(const std::vector<std::string>& args) {
    const Arguments parsed = parseArguments(args, {"--staging"});

    RunState state;
    state.staging = stagingFolder(parsed);
    // A full path, so that the result's path printed is full as well.
    CliInteraction ui(fullPath(parsed.file));
    ImportRun run(state, ui);
    run.BImportarClick();
    if (state.EstadoTransformacion != 1) return 1;  // "No existe archivo XML."
    std::printf("%s\n", run.resultFile().string().c_str());
    return 0;
}

}  // namespace ttp::cli
