#include "cli/commands.h"
#include "core/error.h"

namespace ttp::cli {

// Placeholder until the command is written.
int importar(const std::vector<std::string>&) { throw Error("orden aún no disponible"); }

}  // namespace ttp::cli
