#pragma once

#include <string>
#include <vector>

// One function per command of the `ttp` tool; each takes the arguments after the command's
// name and returns the exit status (0 done, 1 failed, 2 wrong usage).
namespace ttp::cli {

int tabla(const std::vector<std::string>& args);
int exportar(const std::vector<std::string>& args);
int importar(const std::vector<std::string>& args);

// Thrown for wrong usage; main prints the text and a one-line hint and exits 2.
struct UsageError {
    std::string message;
};

}  // namespace ttp::cli
