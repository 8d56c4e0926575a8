#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_interaction.h"
#include "cli/commands.h"
#include "core/run_state.h"
#include "formats/staging_tables.h"
#include "import/import_run.h"

namespace ttp::cli {

namespace {

struct ImportarArgs {
    std::filesystem::path file;
    std::optional<std::filesystem::path> staging;
};

ImportarArgs parseArgs(const std::vector<std::string>& args) {
    ImportarArgs parsed;
    bool haveFile = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--staging") {
            if (i + 1 >= args.size()) throw UsageError{"falta la carpeta tras --staging"};
            if (parsed.staging) throw UsageError{"--staging aparece dos veces"};
            parsed.staging = args[++i];
        } else if (arg.rfind("--staging=", 0) == 0) {
            if (parsed.staging) throw UsageError{"--staging aparece dos veces"};
            parsed.staging = arg.substr(10);
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError{"opción desconocida: " + arg};
        } else if (haveFile) {
            throw UsageError{"sobra el argumento: " + arg};
        } else {
            parsed.file = arg;
            haveFile = true;
        }
    }
    if (!haveFile) throw UsageError{"falta el fichero XML"};
    if (parsed.staging && parsed.staging->empty()) throw UsageError{"--staging está vacío"};
    return parsed;
}

}  // namespace

int importar(const std::vector<std::string>& args) {
    const ImportarArgs parsed = parseArgs(args);

    RunState state;
    state.staging = parsed.staging ? *parsed.staging : staging::defaultDirectory();
    // The window's dialog hands back full paths; so does the tool, so that the result's path
    // it prints is full as well.
    std::error_code ec;
    std::filesystem::path file = std::filesystem::absolute(parsed.file, ec);
    if (ec) file = parsed.file;

    CliInteraction ui(file);
    ImportRun run(state, ui);
    run.BImportarClick();
    if (state.EstadoTransformacion != 1) return 1;  // "No existe archivo XML."
    std::printf("%s\n", run.resultFile().string().c_str());
    return 0;
}

}  // namespace ttp::cli
