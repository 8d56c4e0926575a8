#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"

namespace {

constexpr const char* kUsage =
    "Uso: ttp ORDEN [ARGUMENTOS]\n"
    "\n"
    "Órdenes:\n"
    "  tabla FICHERO.DBF                         muestra los campos y las filas de una tabla\n"
    "  exportar FICHERO.xml [--staging DIR] [--marcos ID[,ID]]\n"
    "                                            exporta el documento a las tablas de Tavolex\n"
    "  importar FICHERO.xml [--staging DIR]      importa el horario de SOLUC al documento\n"
    "\n"
    "Opciones:\n"
    "  --help      muestra esta ayuda\n"
    "  --version   muestra la versión\n";

constexpr const char* kHint = "Pruebe 'ttp --help' para más información.";

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::fprintf(stderr, "ttp: falta la orden\n%s\n", kHint);
        return 2;
    }
    const std::string command = args.front();
    if (command == "--help" || command == "-h") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == "--version") {
        std::printf("ttp (TransTavolexPedanor) %s\n", TTP_VERSION);
        return 0;
    }
    args.erase(args.begin());
    try {
        if (command == "tabla") return ttp::cli::tabla(args);
        if (command == "exportar") return ttp::cli::exportar(args);
        if (command == "importar") return ttp::cli::importar(args);
        throw ttp::cli::UsageError{"orden desconocida: " + command};
    } catch (const ttp::cli::UsageError& e) {
        std::fprintf(stderr, "ttp: %s\n%s\n", e.message.c_str(), kHint);
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "ttp: %s.\n", e.what());
        return 1;
    }
}
