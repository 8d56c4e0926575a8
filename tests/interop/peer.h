#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

// Running the TDbf peer and the ttp tool from the interop tests.
namespace ttp::test {

struct Ran {
    int status = -1;  // exit status, -1 when the program did not exit normally
    std::string output;
};

inline std::string quoted(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\'') {
            q += "'\\''";
        } else {
            q += c;
        }
    }
    return q + "'";
}

inline int exitStatus(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs `command` through the shell and returns its standard output and exit status.
inline Ran runReading(const std::string& command) {
    Ran ran;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) throw std::runtime_error("cannot run " + command);
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) ran.output.append(buffer, n);
    ran.status = exitStatus(::pclose(pipe));
    return ran;
}

// Runs `command` with `input` on its standard input; returns its exit status.
inline int runWriting(const std::string& command, const std::string& input) {
    FILE* pipe = ::popen(command.c_str(), "w");
    if (!pipe) throw std::runtime_error("cannot run " + command);
    std::fwrite(input.data(), 1, input.size(), pipe);
    return exitStatus(::pclose(pipe));
}

// What `tdbf_peer dump` tells of a table.
struct PeerField {
    std::string name;
    char code = 0;
    int width = 0, decimals = 0;
    std::string dataType;  // TDbf's field class: String, Integer, Float, Boolean, ...
};
using PeerRecord = std::map<std::string, std::optional<std::string>>;  // no value: nullopt
struct PeerDump {
    int level = 0;
    std::vector<PeerField> fields;
    std::vector<PeerRecord> records;
};

inline std::string fromHex(const std::string& hex) {
    if (hex == "-") return {};
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    }
    return bytes;
}

inline PeerDump peerDump(const std::filesystem::path& file) {
    const Ran ran = runReading(quoted(TDBF_PEER) + " dump " + quoted(file.string()));
    if (ran.status != 0) throw std::runtime_error("tdbf_peer dump failed:\n" + ran.output);
    PeerDump dump;
    std::istringstream lines(ran.output);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string kind;
        words >> kind;
        if (kind == "LEVEL") {
            words >> dump.level;
        } else if (kind == "FIELD") {
            PeerField f;
            words >> f.name >> f.code >> f.width >> f.decimals >> f.dataType;
            dump.fields.push_back(f);
        } else if (kind == "RECORD") {
            dump.records.emplace_back();
        } else if (kind == "VALUE" && !dump.records.empty()) {
            std::string name, value;
            words >> name >> value;
            dump.records.back()[name] =
                value == "NULL" ? std::nullopt : std::optional<std::string>(fromHex(value));
        } else {
            throw std::runtime_error("unexpected line from tdbf_peer: " + line);
        }
    }
    return dump;
}

// `tdbf_peer create LEVEL FILE` with the field line and the record lines given.
inline bool peerCreates(int level, const std::filesystem::path& file, const std::string& fields,
                        const std::vector<std::string>& rows) {
    std::string input = fields + "\n";
    for (const std::string& row : rows) input += row + "\n";
    return runWriting(
               quoted(TDBF_PEER) + " create " + std::to_string(level) + " " + quoted(file.string()),
               input) == 0;
}

}  // namespace ttp::test
