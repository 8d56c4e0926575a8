#include "formats/dbf_layout.h"

#include <cstdio>
#include <ctime>
#include <set>

#include "core/error.h"
#include "formats/text.h"

namespace ttp::dbf {
namespace {

constexpr std::size_t kMainHeader = 32;   // bytes before the descriptors, levels 3-5
constexpr std::size_t kMainHeader7 = 68;  // the same at level 7
constexpr std::size_t kDescriptor = 32;   // levels 3-5
constexpr std::size_t kDescriptor7 = 48;  // level 7
constexpr std::size_t kNameBytes = 11;    // levels 3-5: 10 characters and a zero
constexpr std::size_t kNameBytes7 = 32;   // level 7: 31 characters and a zero
constexpr std::size_t kMaxName7 = kNameBytes7 - 1;
constexpr char kTerminator = 0x0D;
// The Windows-1252 Western European language driver, as a BDE-compatible engine names it.
constexpr std::string_view kLanguageDriver = "DBWINWE0";
constexpr std::size_t kLanguageDriverAt = 32;

[[noreturn]] void damaged(const std::string& file, const std::string& what) {
    throw Error("La tabla " + file + " está dañada: " + what);
}

unsigned byteAt(std::string_view bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]);
}

std::size_t little16(std::string_view bytes, std::size_t at) {
    return byteAt(bytes, at) | (byteAt(bytes, at + 1) << 8);
}

std::size_t little32(std::string_view bytes, std::size_t at) {
    return static_cast<std::size_t>(byteAt(bytes, at)) | (byteAt(bytes, at + 1) << 8) |
           (byteAt(bytes, at + 2) << 16) | (static_cast<std::size_t>(byteAt(bytes, at + 3)) << 24);
}

void putLittle(std::string& bytes, std::size_t at, std::size_t value, int count) {
    for (int i = 0; i < count; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// The level as a BDE-compatible engine tells it: the low bits of the version byte give the
// family (4: level 7; 3: levels 3/4; 5 and the FoxPro bytes: level 5), and within the
// family of 3 a language driver id or the dBase IV memo byte means level 4.
int levelOf(unsigned version, unsigned languageId) {
    if (version == 0xF5 || version == 0xFB) return 5;
    switch (version & 0x07) {
        case 3:
            if (version == 0x8B || version == 0xCB || version == 0x7B) return 4;
            return languageId == 0 ? 3 : 4;
        case 4:
            return 7;
        case 5:
            return 5;
        default:
            return 0;
    }
}

FieldType typeOf(char code, int decimals) {
    switch (code) {
        case 'C':
            return FieldType::Character;
        case 'I':
            return FieldType::Integer;
        case 'N':
            return decimals > 0 ? FieldType::Float : FieldType::Integer;
        case 'F':
            return FieldType::Float;
        case 'L':
            return FieldType::Logical;
        default:
            return FieldType::Other;
    }
}

std::string hex(unsigned value) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "0x%02X", value);
    return buffer;
}

std::string upper(std::string_view name) {
    std::string result(name);
    for (char& c : result) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return result;
}

}  // namespace

Layout parseLayout(std::string_view bytes, const std::string& file) {
    if (bytes.size() < kMainHeader) {
        damaged(file, "la cabecera está incompleta (el fichero tiene " +
                          std::to_string(bytes.size()) + " bytes)");
    }
    Layout layout;
    const unsigned version = byteAt(bytes, 0);
    layout.level = levelOf(version, byteAt(bytes, 29));
    if (layout.level == 0) damaged(file, "versión de dBase desconocida (" + hex(version) + ")");
    const bool level7 = layout.level == 7;
    const std::size_t descriptorsAt = level7 ? kMainHeader7 : kMainHeader;
    const std::size_t descriptor = level7 ? kDescriptor7 : kDescriptor;
    const std::size_t nameBytes = level7 ? kNameBytes7 : kNameBytes;

    layout.recordCount = little32(bytes, 4);
    layout.headerLength = little16(bytes, 8);
    layout.recordLength = little16(bytes, 10);
    if (layout.headerLength > bytes.size()) {
        damaged(file, "la cabecera declara " + std::to_string(layout.headerLength) +
                          " bytes y el fichero solo tiene " + std::to_string(bytes.size()));
    }
    if (layout.headerLength < descriptorsAt + 1) {
        damaged(file, "la cabecera declara " + std::to_string(layout.headerLength) +
                          " bytes, menos de los que ocupa");
    }

    // Descriptors run until the terminator; all of them must lie within the header.
    bool terminated = false;
    std::size_t at = descriptorsAt;
    std::size_t offset = 1;  // the deletion flag comes first
    while (at < layout.headerLength) {
        if (bytes[at] == kTerminator) {
            terminated = true;
            break;
        }
        if (at + descriptor > layout.headerLength) break;
        std::string_view raw = bytes.substr(at, nameBytes);
        FieldDef field;
        field.name = std::string(raw.substr(0, raw.find('\0')));
        const std::size_t typeAt = at + (level7 ? 32 : 11);
        const std::size_t widthAt = at + (level7 ? 33 : 16);
        field.code = bytes[typeAt];
        field.width = static_cast<int>(byteAt(bytes, widthAt));
        field.decimals = static_cast<int>(byteAt(bytes, widthAt + 1));
        field.type = typeOf(field.code, field.decimals);
        if (field.name.empty()) {
            damaged(file, "el campo número " + std::to_string(layout.fields.size() + 1) +
                              " no tiene nombre");
        }
        if (field.width == 0)
            damaged(file, "el campo " + text::toUtf8(field.name) + " tiene anchura 0");
        if (field.code == 'I' && field.width != 4) {
            damaged(file, "el campo entero " + text::toUtf8(field.name) + " tiene anchura " +
                              std::to_string(field.width) + " en lugar de 4");
        }
        layout.offsets.push_back(offset);
        offset += static_cast<std::size_t>(field.width);
        if (offset > layout.recordLength) {
            damaged(file, "el campo " + text::toUtf8(field.name) + " termina en el byte " +
                              std::to_string(offset) + ", más allá del final del registro (" +
                              std::to_string(layout.recordLength) + " bytes)");
        }
        layout.fields.push_back(std::move(field));
        at += descriptor;
    }
    if (!terminated) damaged(file, "la lista de campos no termina dentro de la cabecera");
    if (layout.fields.empty()) damaged(file, "no tiene campos");
    if (offset != layout.recordLength) {
        damaged(file, "la longitud de registro declarada (" + std::to_string(layout.recordLength) +
                          ") no coincide con la de sus campos (" + std::to_string(offset) + ")");
    }
    const std::size_t room = (bytes.size() - layout.headerLength) / layout.recordLength;
    if (layout.recordCount > room) {
        damaged(file, "declara " + std::to_string(layout.recordCount) +
                          " registros y el fichero solo tiene sitio para " + std::to_string(room));
    }
    return layout;
}

Layout newLayout(const std::vector<FieldDef>& fields, const std::string& file) {
    auto refuse = [&file](const std::string& what) {
        throw Error("No se puede crear la tabla " + file + ": " + what);
    };
    if (fields.empty()) refuse("no tiene campos");
    Layout layout;
    layout.level = 7;
    std::set<std::string> names;
    std::size_t offset = 1;
    for (const FieldDef& given : fields) {
        FieldDef field;
        field.name = given.name;
        field.type = given.type;
        if (field.name.empty() || field.name.size() > kMaxName7) {
            refuse("el nombre de campo «" + text::toUtf8(field.name) + "» debe tener de 1 a " +
                   std::to_string(kMaxName7) + " caracteres");
        }
        if (field.name.find('\0') != std::string::npos)
            refuse("un nombre de campo tiene un byte nulo");
        if (!names.insert(upper(field.name)).second) {
            refuse("el campo " + text::toUtf8(field.name) + " aparece dos veces");
        }
        switch (field.type) {
            case FieldType::Character:
            case FieldType::Other:
                // A field of a type we do not write is made a character field of its width.
                field.type = FieldType::Character;
                field.code = 'C';
                field.width = given.width;
                if (field.width < 1 || field.width > 254) {
                    refuse("el campo " + text::toUtf8(field.name) + " tiene anchura " +
                           std::to_string(given.width) + " (debe ser de 1 a 254)");
                }
                break;
            case FieldType::Integer:
                field.code = 'I';
                field.width = 4;
                break;
            case FieldType::Float:
                field.code = 'N';
                field.width = 18;
                field.decimals = 8;
                break;
            case FieldType::Logical:
                field.code = 'L';
                field.width = 1;
                break;
        }
        layout.offsets.push_back(offset);
        offset += static_cast<std::size_t>(field.width);
        layout.fields.push_back(std::move(field));
    }
    layout.recordLength = offset;
    layout.headerLength = kMainHeader7 + fields.size() * kDescriptor7 + 1;
    if (layout.headerLength > 0xFFFF) refuse("tiene demasiados campos");
    if (layout.recordLength > 0xFFFF) refuse("sus registros serían demasiado largos");
    return layout;
}

std::string dateAndCount(std::size_t count) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::string bytes(7, '\0');
    bytes[0] = static_cast<char>(local.tm_year & 0xFF);  // years since 1900
    bytes[1] = static_cast<char>(local.tm_mon + 1);
    bytes[2] = static_cast<char>(local.tm_mday);
    putLittle(bytes, 3, count, 4);
    return bytes;
}

std::string headerBytes(const Layout& layout) {
    std::string bytes(layout.headerLength, '\0');
    bytes[0] = 0x04;
    bytes.replace(1, 7, dateAndCount(layout.recordCount));
    putLittle(bytes, 8, layout.headerLength, 2);
    putLittle(bytes, 10, layout.recordLength, 2);
    bytes.replace(kLanguageDriverAt, kLanguageDriver.size(), kLanguageDriver);
    std::size_t at = kMainHeader7;
    for (const FieldDef& field : layout.fields) {
        bytes.replace(at, field.name.size(), field.name);
        bytes[at + 32] = field.code;
        bytes[at + 33] = static_cast<char>(field.width);
        bytes[at + 34] = static_cast<char>(field.decimals);
        at += kDescriptor7;
    }
    bytes[at] = kTerminator;
    return bytes;
}

}  // namespace ttp::dbf
