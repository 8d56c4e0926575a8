#include "app/ini_status.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>
#include <vector>

#include "core/error.h"

namespace ttp::app::ini {
namespace {

// One line of the file with its own line end ("", "\n", "\r\n" or "\r"), so that lines we do
// not touch are written back exactly as read.
struct Line {
    std::string body;
    std::string end;
};

std::vector<Line> splitLines(std::string_view content) {
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < content.size()) {
        const std::size_t brk = content.find_first_of("\r\n", pos);
        if (brk == std::string_view::npos) {
            lines.push_back({std::string(content.substr(pos)), ""});
            break;
        }
        std::size_t endLen = 1;
        if (content[brk] == '\r' && brk + 1 < content.size() && content[brk + 1] == '\n') {
            endLen = 2;
        }
        lines.push_back({std::string(content.substr(pos, brk - pos)),
                         std::string(content.substr(brk, endLen))});
        pos = brk + endLen;
    }
    return lines;
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

bool equalsAsciiNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// The name of a section header line ("[name]"), or nothing for any other line. A UTF-8 byte
// order mark in front of the first line is not part of the name.
std::optional<std::string_view> sectionName(std::string_view body) {
    if (body.starts_with("\xEF\xBB\xBF")) body.remove_prefix(3);
    body = trimBlanks(body);
    if (body.size() < 2 || body.front() != '[') return std::nullopt;
    const std::size_t close = body.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return trimBlanks(body.substr(1, close - 1));
}

// The key of a "key=value" line, or nothing for comments and lines without '='.
std::optional<std::string_view> keyName(std::string_view body) {
    const std::string_view trimmed = trimBlanks(body);
    if (trimmed.empty() || trimmed.front() == ';') return std::nullopt;
    const std::size_t eq = body.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return trimBlanks(body.substr(0, eq));
}

std::string pathText(const std::filesystem::path& p) {
    const auto u8 = p.u8string();
    return std::string(u8.begin(), u8.end());
}

[[noreturn]] void cannotWrite(const std::filesystem::path& file) {
    throw Error("Unable to write to " + pathText(file));
}

}  // namespace

std::string withProfileString(std::string_view content, std::string_view section,
                              std::string_view key, std::string_view value) {
    std::vector<Line> lines = splitLines(content);
    std::string newline = "\r\n";
    if (!lines.empty() && !lines.front().end.empty()) newline = lines.front().end;
    const std::string entry = std::string(key) + "=" + std::string(value);

    // The first section of that name; its lines run to the next section header.
    std::size_t first = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        auto name = sectionName(lines[i].body);
        if (name && equalsAsciiNoCase(*name, section)) {
            first = i;
            break;
        }
    }

    if (first == lines.size()) {
        if (!lines.empty() && lines.back().end.empty()) lines.back().end = newline;
        lines.push_back({"[" + std::string(section) + "]", newline});
        lines.push_back({entry, newline});
    } else {
        std::size_t last = first;  // last non-blank line of the section
        bool replaced = false;
        for (std::size_t i = first + 1; i < lines.size(); ++i) {
            if (sectionName(lines[i].body)) break;
            if (auto name = keyName(lines[i].body); name && equalsAsciiNoCase(*name, key)) {
                lines[i].body = entry;
                replaced = true;
                break;
            }
            if (!trimBlanks(lines[i].body).empty()) last = i;
        }
        if (!replaced) {
            if (lines[last].end.empty()) lines[last].end = newline;
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(last) + 1, {entry, newline});
        }
    }

    std::string out;
    for (const Line& line : lines) out += line.body + line.end;
    return out;
}

void writeProfileString(const std::filesystem::path& file, std::string_view section,
                        std::string_view key, std::string_view value) {
    std::string content;
    std::error_code ec;
    if (std::filesystem::exists(file, ec)) {
        if (!std::filesystem::is_regular_file(file, ec)) cannotWrite(file);
        std::ifstream in(file, std::ios::binary);
        if (!in) cannotWrite(file);
        content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (in.bad()) cannotWrite(file);
    }
    const std::string updated = withProfileString(content, section, key, value);

    // Written beside the file and then renamed over it: the host never reads a half-written
    // status and a failed write leaves the old file whole.
    std::filesystem::path temp = file;
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) cannotWrite(file);
        out.write(updated.data(), static_cast<std::streamsize>(updated.size()));
        out.flush();
        if (!out) {
            out.close();
            std::filesystem::remove(temp, ec);
            cannotWrite(file);
        }
    }
    std::filesystem::rename(temp, file, ec);
    if (ec) {
        std::filesystem::remove(temp, ec);
        cannotWrite(file);
    }
}

std::filesystem::path statusFile(const std::filesystem::path& programDir) {
    return programDir / "Tavolex.ini";
}

void writeStatus(const std::filesystem::path& programDir, int status) {
    writeProfileString(statusFile(programDir), "Transformadores", "Transformado",
                       std::to_string(status));
}

}  // namespace ttp::app::ini
