#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// The run status the host reads after a hosted start, written the way the Windows
// profile-string writer does it. Free of Qt so that it can be tested on its own.
namespace ttp::app::ini {

// `content` with `key=value` set in `[section]`: the first matching key line of the first
// matching section is replaced in place; a missing key is added after the section's last
// non-blank line; a missing section is added at the end. Section and key names are matched
// without regard to ASCII letter case and to blanks around them. Every other line stays byte
// for byte; new lines end like the file's first line (CR LF when the file has none).
std::string withProfileString(std::string_view content, std::string_view section,
                              std::string_view key, std::string_view value);

// Sets `key=value` in `[section]` of the file, creating the file when it is missing. The new
// content replaces the old one only once it is completely written, so a failure leaves the old
// file as it was. Throws ttp::Error "Unable to write to <file>" when the file cannot be read
// or written.
void writeProfileString(const std::filesystem::path& file, std::string_view section,
                        std::string_view key, std::string_view value);

// "Tavolex.ini" in `programDir`.
std::filesystem::path statusFile(const std::filesystem::path& programDir);

// [Transformadores] Transformado = `status` (1, -1 or 0) in the status file of `programDir`.
void writeStatus(const std::filesystem::path& programDir, int status);

}  // namespace ttp::app::ini
