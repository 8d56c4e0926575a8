#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ttp::cli {

// A command's arguments: one file and options that each take a value ("--opt VALUE" or
// "--opt=VALUE", at most once each).
struct Arguments {
    std::filesystem::path file;
    std::map<std::string, std::string, std::less<>> options;

    std::optional<std::string> option(std::string_view name) const;
};

// Throws UsageError for an unknown option, an option without its value or given twice, a
// second file or none.
Arguments parseArguments(const std::vector<std::string>& args,
                         const std::vector<std::string_view>& valueOptions);

// The file as a full path, as the window's dialog hands it back.
std::filesystem::path fullPath(const std::filesystem::path& file);

// --staging when given (not empty), else the default staging folder.
std::filesystem::path stagingFolder(const Arguments& arguments);

}  // namespace ttp::cli
