#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>
#include "support/files.h"

// Byte-level helpers for the dBase engine's tests: files read back raw, and tables of the
// older levels (32-byte descriptors) built by hand, independently of the engine.
namespace ttp::test {

inline unsigned byteOf(std::string_view bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes.at(at));
}

inline std::size_t le16(std::string_view bytes, std::size_t at) {
    return byteOf(bytes, at) | (byteOf(bytes, at + 1) << 8);
}

inline std::size_t le32(std::string_view bytes, std::size_t at) {
    return le16(bytes, at) | (le16(bytes, at + 2) << 16);
}

inline void putLe(std::string& bytes, std::size_t at, std::size_t value, int count) {
    for (int i = 0; i < count; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

struct OldField {
    std::string name;  // up to 10 characters
    char code;
    int width;
    int decimals = 0;
};

// A table with the 32-byte header and descriptors of levels 3 to 5. Each record is given
// with its deletion flag (' ' or '*') followed by its field bytes.
inline std::string oldTable(unsigned version, unsigned languageId,
                            const std::vector<OldField>& fields,
                            const std::vector<std::string>& records) {
    std::size_t recordLength = 1;
    for (const OldField& f : fields) recordLength += static_cast<std::size_t>(f.width);
    const std::size_t headerLength = 32 + 32 * fields.size() + 1;
    std::string bytes(headerLength, '\0');
    bytes[0] = static_cast<char>(version);
    bytes[1] = 124;
    bytes[2] = 5;
    bytes[3] = 17;
    putLe(bytes, 4, records.size(), 4);
    putLe(bytes, 8, headerLength, 2);
    putLe(bytes, 10, recordLength, 2);
    bytes[29] = static_cast<char>(languageId);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::size_t at = 32 + 32 * i;
        bytes.replace(at, fields[i].name.size(), fields[i].name);
        bytes[at + 11] = fields[i].code;
        bytes[at + 16] = static_cast<char>(fields[i].width);
        bytes[at + 17] = static_cast<char>(fields[i].decimals);
    }
    bytes[headerLength - 1] = 0x0D;
    for (const std::string& record : records) bytes += record;
    bytes += '\x1A';
    return bytes;
}

}  // namespace ttp::test
