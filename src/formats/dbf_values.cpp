#include "formats/dbf_values.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>

#include "core/error.h"
#include "formats/text.h"

namespace ttp::dbf {
namespace {

std::string_view trimBlanks(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\0'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

std::string_view trimTrailing(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.remove_suffix(1);
    return s;
}

std::optional<std::int64_t> parseInteger(std::string_view s) {
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return value;
}

// A decimal number with '.' or, as Spanish people write it, ',' before the decimals.
std::optional<double> parseNumber(std::string_view s) {
    std::string copy(s);
    if (!copy.empty() && copy.front() == '+') copy.erase(0, 1);
    if (copy.find('.') == std::string::npos) {
        const auto comma = copy.find(',');
        if (comma != std::string::npos && copy.find(',', comma + 1) == std::string::npos) {
            copy[comma] = '.';
        }
    }
    double value = 0;
    const auto [end, ec] = std::from_chars(copy.data(), copy.data() + copy.size(), value);
    if (copy.empty() || ec != std::errc() || end != copy.data() + copy.size() ||
        !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// The shortest decimal text that reads back as the same value, without exponent (as the
// numeric fields themselves hold numbers).
std::string formatNumber(double value) {
    if (value == 0) return "0";  // no "-0"
    char buffer[400];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (ec != std::errc()) return std::to_string(value);
    return std::string(buffer, end);
}

std::string where(const FieldDef& def, const std::string& table) {
    return "campo " + text::toUtf8(def.name) + " de la tabla " + table;
}

[[noreturn]] void notANumber(const FieldDef& def, std::string_view value, const std::string& table,
                             bool integer) {
    throw Error("El valor «" + text::toUtf8(value) + "» del " + where(def, table) +
                (integer ? " no es un número entero" : " no es un número"));
}

[[noreturn]] void doesNotFit(const FieldDef& def, const std::string& value,
                             const std::string& table) {
    throw Error("El valor " + value + " no cabe en el " + where(def, table));
}

void putPadded(const FieldDef& def, char* dest, std::string_view value) {
    const std::size_t width = static_cast<std::size_t>(def.width);
    const std::size_t n = std::min(width, value.size());
    std::memcpy(dest, value.data(), n);
    std::memset(dest + n, ' ', width - n);
}

// Right-aligned number text as a numeric field holds it; an error when it does not fit.
void putNumber(const FieldDef& def, char* dest, const std::string& digits,
               const std::string& table) {
    const std::size_t width = static_cast<std::size_t>(def.width);
    if (digits.size() > width) doesNotFit(def, digits, table);
    std::memset(dest, ' ', width - digits.size());
    std::memcpy(dest + width - digits.size(), digits.data(), digits.size());
}

void putFloat(const FieldDef& def, char* dest, double value, const std::string& table) {
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.*f", def.decimals, value);
    putNumber(def, dest, buffer, table);
}

// The 4-byte integer: big-endian with the sign bit flipped, so that all zero bytes are
// left for "no value" (and the smallest 32-bit number cannot be stored).
void putBinary(const FieldDef& def, char* dest, std::int64_t value, const std::string& table) {
    if (value <= std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
        doesNotFit(def, std::to_string(value), table);
    }
    const std::uint32_t bits =
        static_cast<std::uint32_t>(static_cast<std::int32_t>(value)) ^ 0x80000000u;
    for (int i = 0; i < 4; ++i) dest[i] = static_cast<char>((bits >> (8 * (3 - i))) & 0xFF);
}

std::optional<std::int64_t> binaryValue(std::string_view raw) {
    std::uint32_t bits = 0;
    for (char c : raw.substr(0, 4)) bits = (bits << 8) | static_cast<unsigned char>(c);
    if (bits == 0) return std::nullopt;
    return static_cast<std::int32_t>(bits ^ 0x80000000u);
}

// 'T'/'t'/'Y'/'y' true, 'F'/'f'/'N'/'n' false, anything else (' ', '?') no value.
std::optional<bool> logicalValue(std::string_view raw) {
    switch (raw.empty() ? ' ' : raw.front()) {
        case 'T':
        case 't':
        case 'Y':
        case 'y':
            return true;
        case 'F':
        case 'f':
        case 'N':
        case 'n':
            return false;
        default:
            return std::nullopt;
    }
}

bool isBinaryInteger(const FieldDef& def) {
    return def.code == 'I';
}

}  // namespace

bool readNull(const FieldDef& def, std::string_view raw) {
    switch (def.type) {
        case FieldType::Integer:
            if (isBinaryInteger(def)) return !binaryValue(raw);
            return trimBlanks(raw).empty();
        case FieldType::Logical:
            return !logicalValue(raw);
        default:
            return trimBlanks(raw).empty();
    }
}

std::string readText(const FieldDef& def, std::string_view raw, const std::string& table) {
    switch (def.type) {
        case FieldType::Character:
        case FieldType::Other:
            return std::string(trimTrailing(raw));
        case FieldType::Integer: {
            if (readNull(def, raw)) return {};
            return std::to_string(readInteger(def, raw, table));
        }
        case FieldType::Float: {
            const std::string_view digits = trimBlanks(raw);
            if (digits.empty()) return {};
            const auto value = parseNumber(digits);
            if (!value) notANumber(def, digits, table, false);
            return formatNumber(*value);
        }
        case FieldType::Logical: {
            const auto value = logicalValue(raw);
            if (!value) return {};
            return *value ? "True" : "False";
        }
    }
    return {};
}

std::int64_t readInteger(const FieldDef& def, std::string_view raw, const std::string& table) {
    switch (def.type) {
        case FieldType::Integer:
            if (isBinaryInteger(def)) return binaryValue(raw).value_or(0);
            [[fallthrough]];
        case FieldType::Character:
        case FieldType::Other: {
            const std::string_view digits = trimBlanks(raw);
            if (digits.empty()) return 0;
            const auto value = parseInteger(digits);
            if (!value) notANumber(def, digits, table, true);
            return *value;
        }
        case FieldType::Float: {
            const std::string_view digits = trimBlanks(raw);
            if (digits.empty()) return 0;
            const auto value = parseNumber(digits);
            if (!value) notANumber(def, digits, table, false);
            // Rounded half away from zero; a value beyond 64 bits is no integer.
            if (std::fabs(*value) >= 9.2e18) notANumber(def, digits, table, true);
            return std::llround(*value);
        }
        case FieldType::Logical:
            throw Error("El campo lógico " + text::toUtf8(def.name) + " de la tabla " + table +
                        " no se puede leer como número");
    }
    return 0;
}

void writeNull(const FieldDef& def, char* dest) {
    const std::size_t width = static_cast<std::size_t>(def.width);
    std::memset(dest, isBinaryInteger(def) ? 0 : ' ', width);
}

void writeText(const FieldDef& def, char* dest, std::string_view value, const std::string& table) {
    switch (def.type) {
        case FieldType::Character:
        case FieldType::Other:
            putPadded(def, dest, value);
            return;
        case FieldType::Integer: {
            const std::string_view digits = trimBlanks(value);
            if (digits.empty()) return writeNull(def, dest);
            const auto number = parseInteger(digits);
            if (!number) notANumber(def, value, table, true);
            return writeInteger(def, dest, *number, table);
        }
        case FieldType::Float: {
            const std::string_view digits = trimBlanks(value);
            if (digits.empty()) return writeNull(def, dest);
            const auto number = parseNumber(digits);
            if (!number) notANumber(def, value, table, false);
            return putFloat(def, dest, *number, table);
        }
        case FieldType::Logical: {
            const std::string word = text::foldCase(trimBlanks(value));
            if (word.empty()) return writeNull(def, dest);
            if (word == "TRUE" || word == "T" || word == "S" || word == "SI" || word == "S\xCD" ||
                word == "Y" || word == "1") {
                return writeLogical(def, dest, true, table);
            }
            if (word == "FALSE" || word == "F" || word == "N" || word == "NO" || word == "0") {
                return writeLogical(def, dest, false, table);
            }
            throw Error("El valor «" + text::toUtf8(value) + "» del " + where(def, table) +
                        " no es un valor lógico");
        }
    }
}

void writeInteger(const FieldDef& def, char* dest, std::int64_t value, const std::string& table) {
    switch (def.type) {
        case FieldType::Character:
        case FieldType::Other:
            return putPadded(def, dest, std::to_string(value));
        case FieldType::Integer:
            if (isBinaryInteger(def)) return putBinary(def, dest, value, table);
            return putNumber(def, dest, std::to_string(value), table);
        case FieldType::Float:
            return putFloat(def, dest, static_cast<double>(value), table);
        case FieldType::Logical:
            throw Error("No se puede guardar el número " + std::to_string(value) +
                        " en el campo lógico " + text::toUtf8(def.name) + " de la tabla " + table);
    }
}

void writeLogical(const FieldDef& def, char* dest, bool value, const std::string& table) {
    switch (def.type) {
        case FieldType::Logical:
            dest[0] = value ? 'T' : 'F';
            return;
        case FieldType::Character:
        case FieldType::Other:
            return putPadded(def, dest, value ? "T" : "F");
        default:
            throw Error("No se puede guardar un valor lógico en el campo numérico " +
                        text::toUtf8(def.name) + " de la tabla " + table);
    }
}

}  // namespace ttp::dbf
