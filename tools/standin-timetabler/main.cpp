// tavolex-standin STAGING_DIR: a stand-in for the timetabler, for trying the converter end to
// end. Reads the tables of an export and leaves a solution SOLUC beside them.
#include <cstdio>
#include <exception>
#include <string>

#include "staging_io.h"

int main(int argc, char** argv) {
    if (argc != 2 || std::string(argv[1]).empty() || argv[1][0] == '-') {
        std::fprintf(stderr,
                     "Uso: tavolex-standin CARPETA\n"
                     "Lee las tablas exportadas de CARPETA y escribe en ella SOLUC.\n");
        return 2;
    }
    try {
        const auto summary = ttp::standin::solve(argv[1]);
        std::printf("SOLUC: %zu sesiones colocadas, %zu sin colocar\n", summary.placed,
                    summary.unplaced);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tavolex-standin: %s.\n", e.what());
        return 1;
    }
}
