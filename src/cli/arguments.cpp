#include "cli/arguments.h"

#include <system_error>

#include "cli/commands.h"
#include "formats/staging_tables.h"

namespace ttp::cli {

std::optional<std::string> Arguments::option(std::string_view name) const {
    const auto it = options.find(name);
    if (it == options.end()) return std::nullopt;
    return it->second;
}

Arguments parseArguments(const std::vector<std::string>& args,
                         const std::vector<std::string_view>& valueOptions) {
    Arguments parsed;
    bool haveFile = false;
    auto set = [&parsed](const std::string& name, std::string value) {
        if (!parsed.options.emplace(name, std::move(value)).second) {
            throw UsageError{name + " aparece dos veces"};
        }
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() > 1 && arg[0] == '-') {
            const std::size_t equals = arg.find('=');
            const std::string name = arg.substr(0, equals);
            bool known = false;
            for (const auto option : valueOptions) known = known || option == name;
            if (!known) throw UsageError{"opción desconocida: " + arg};
            if (equals != std::string::npos) {
                set(name, arg.substr(equals + 1));
                continue;
            }
            // "--marcos --staging DIR" lacks the ids; it must not take "--staging" for them.
            if (i + 1 >= args.size() || args[i + 1].rfind("--", 0) == 0) {
                throw UsageError{"falta el valor tras " + arg};
            }
            set(name, args[++i]);
        } else if (haveFile) {
            throw UsageError{"sobra el argumento: " + arg};
        } else {
            parsed.file = arg;
            haveFile = true;
        }
    }
    if (!haveFile) throw UsageError{"falta el fichero XML"};
    if (auto staging = parsed.option("--staging"); staging && staging->empty()) {
        throw UsageError{"--staging está vacío"};
    }
    return parsed;
}

std::filesystem::path fullPath(const std::filesystem::path& file) {
    std::error_code ec;
    std::filesystem::path full = std::filesystem::absolute(file, ec);
    return ec ? file : full;
}

std::filesystem::path stagingFolder(const Arguments& arguments) {
    if (auto staging = arguments.option("--staging")) return *staging;
    return staging::defaultDirectory();
}

}  // namespace ttp::cli
