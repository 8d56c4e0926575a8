#include "app/help_chm.h"

#include <chm_lib.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <system_error>

#include "core/error.h"

namespace ttp::app {

namespace {

// Codes of the records in a help file's "#SYSTEM" file.
constexpr std::uint16_t kSystemContentsFile = 0;
constexpr std::uint16_t kSystemIndexFile = 1;
constexpr std::uint16_t kSystemDefaultTopic = 2;
constexpr std::uint16_t kSystemTitle = 3;

std::string quoted(const std::filesystem::path& path) {
    return "\"" + path.string() + "\"";
}

std::uint32_t readLe32(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 3])) << 24;
}

std::uint16_t readLe16(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      static_cast<unsigned char>(bytes[at + 1]) << 8);
}

// A text up to its first NUL.
std::string cString(std::string_view bytes) {
    return std::string(bytes.substr(0, bytes.find('\0')));
}

// Paths inside the file always start at the root.
std::string rooted(std::string name) {
    if (name.empty() || name.front() != '/') name.insert(name.begin(), '/');
    return name;
}

char lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char a, char b) { return lower(a) == lower(b); });
}

bool endsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           startsWithNoCase(text.substr(text.size() - suffix.size()), suffix);
}

void appendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | code >> 18);
        out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool isValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t extra = 0;
        std::uint32_t code = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            code = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            code = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            code = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= text.size()) return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto d = static_cast<unsigned char>(text[i + k]);
            if ((d & 0xC0) != 0x80) return false;
            code = code << 6 | (d & 0x3F);
        }
        // Overlong forms, surrogates and values past Unicode are not UTF-8.
        static constexpr std::array<std::uint32_t, 4> kMinimum{0, 0x80, 0x800, 0x10000};
        if (code < kMinimum[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
        i += extra + 1;
    }
    return true;
}

// Windows-1252 characters 0x80 to 0x9F; 0 where the code page leaves a byte undefined.
constexpr std::array<std::uint16_t, 32> kCp1252High{
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

struct NamedEntity {
    std::string_view name;
    std::uint32_t code;
};

// The entities help authors use in contents files: markup and the Latin-1 letters of Spanish.
constexpr std::array<NamedEntity, 31> kEntities{{
    {"amp", '&'},     {"lt", '<'},      {"gt", '>'},      {"quot", '"'},    {"apos", '\''},
    {"nbsp", 0xA0},   {"iexcl", 0xA1},  {"ordf", 0xAA},   {"ordm", 0xBA},   {"iquest", 0xBF},
    {"Aacute", 0xC1}, {"Eacute", 0xC9}, {"Iacute", 0xCD}, {"Ntilde", 0xD1}, {"Oacute", 0xD3},
    {"Uacute", 0xDA}, {"Uuml", 0xDC},   {"aacute", 0xE1}, {"eacute", 0xE9}, {"iacute", 0xED},
    {"ntilde", 0xF1}, {"oacute", 0xF3}, {"uacute", 0xFA}, {"uuml", 0xFC},   {"agrave", 0xE0},
    {"egrave", 0xE8}, {"ccedil", 0xE7}, {"Ccedil", 0xC7}, {"copy", 0xA9},   {"laquo", 0xAB},
    {"raquo", 0xBB},
}};

std::optional<std::uint32_t> entityCode(std::string_view body) {
    if (body.size() > 1 && body[0] == '#') {
        const bool hex = body[1] == 'x' || body[1] == 'X';
        const std::string_view digits = body.substr(hex ? 2 : 1);
        if (digits.empty() || digits.size() > 7) return std::nullopt;
        std::uint32_t code = 0;
        for (char c : digits) {
            int value;
            if (c >= '0' && c <= '9') {
                value = c - '0';
            } else if (hex && c >= 'a' && c <= 'f') {
                value = c - 'a' + 10;
            } else if (hex && c >= 'A' && c <= 'F') {
                value = c - 'A' + 10;
            } else {
                return std::nullopt;
            }
            code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(value);
        }
        if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return std::nullopt;
        return code;
    }
    for (const auto& entity : kEntities) {
        if (entity.name == body) return entity.code;
    }
    return std::nullopt;
}

// Replaces entity references; an unknown or unterminated one stays as written.
std::string decodeEntities(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '&') {
            const std::size_t end = text.find(';', i + 1);
            if (end != std::string_view::npos && end - i <= 10) {
                if (const auto code = entityCode(text.substr(i + 1, end - i - 1))) {
                    appendUtf8(out, *code);
                    i = end + 1;
                    continue;
                }
            }
        }
        out += text[i++];
    }
    return out;
}

// One tag of the sitemap: its lower-cased name (with a leading "/" for a closing tag) and its
// attributes with lower-cased names and raw values.
struct Tag {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;

    std::string attribute(std::string_view wanted) const {
        for (const auto& [name, value] : attributes) {
            if (name == wanted) return value;
        }
        return {};
    }
};

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

// Reads the tag whose "<" is at `at`; sets `at` past its ">".
Tag readTag(std::string_view text, std::size_t& at) {
    Tag tag;
    std::size_t i = at + 1;
    auto skipSpaces = [&] {
        while (i < text.size() && isSpace(text[i])) ++i;
    };
    skipSpaces();
    while (i < text.size() && !isSpace(text[i]) && text[i] != '>') tag.name += lower(text[i++]);
    while (i < text.size() && text[i] != '>') {
        skipSpaces();
        std::string name;
        while (i < text.size() && !isSpace(text[i]) && text[i] != '>' && text[i] != '=') {
            name += lower(text[i++]);
        }
        skipSpaces();
        std::string value;
        if (i < text.size() && text[i] == '=') {
            ++i;
            skipSpaces();
            if (i < text.size() && (text[i] == '"' || text[i] == '\'')) {
                const char quote = text[i++];
                const std::size_t end = text.find(quote, i);
                const std::size_t stop = end == std::string_view::npos ? text.size() : end;
                value = std::string(text.substr(i, stop - i));
                i = stop == text.size() ? stop : stop + 1;
            } else {
                while (i < text.size() && !isSpace(text[i]) && text[i] != '>') value += text[i++];
            }
        }
        if (!name.empty() && name != "/")
            tag.attributes.emplace_back(std::move(name), std::move(value));
    }
    at = i < text.size() ? i + 1 : text.size();
    return tag;
}

}  // namespace

std::string toUtf8(std::string_view text) {
    if (isValidUtf8(text)) return std::string(text);
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 && byte < 0xA0) {
            const std::uint16_t code = kCp1252High[byte - 0x80];
            appendUtf8(out, code != 0 ? code : 0xFFFD);
        } else {
            appendUtf8(out, byte);
        }
    }
    return out;
}

std::vector<ContentsEntry> parseSitemap(std::string_view raw) {
    const std::string text = toUtf8(raw);
    std::vector<ContentsEntry> root;
    // The lists being filled, innermost last; a nested list belongs to the entry before it.
    std::vector<std::vector<ContentsEntry>*> lists;
    std::optional<ContentsEntry> entry;  // inside <OBJECT type="text/sitemap">

    std::size_t at = 0;
    while ((at = text.find('<', at)) != std::string::npos) {
        if (text.compare(at, 4, "<!--") == 0) {
            const std::size_t end = text.find("-->", at + 4);
            at = end == std::string::npos ? text.size() : end + 3;
            continue;
        }
        const Tag tag = readTag(text, at);
        std::vector<ContentsEntry>& current = lists.empty() ? root : *lists.back();
        if (tag.name == "ul") {
            if (lists.empty()) {
                lists.push_back(&root);
            } else if (!current.empty()) {
                lists.push_back(&current.back().children);
            } else {
                lists.push_back(&current);
            }
        } else if (tag.name == "/ul") {
            if (!lists.empty()) lists.pop_back();
        } else if (tag.name == "object") {
            std::string type = tag.attribute("type");
            std::transform(type.begin(), type.end(), type.begin(), lower);
            if (type == "text/sitemap") entry.emplace();
        } else if (tag.name == "param" && entry) {
            std::string name = tag.attribute("name");
            std::transform(name.begin(), name.end(), name.begin(), lower);
            // An entry may list several topics; the first name and page are the entry's.
            if (name == "name" && entry->name.empty()) {
                entry->name = decodeEntities(tag.attribute("value"));
            } else if (name == "local" && entry->local.empty()) {
                entry->local = decodeEntities(tag.attribute("value"));
            }
        } else if (tag.name == "/object" && entry) {
            current.push_back(std::move(*entry));
            entry.reset();
        }
    }
    return root;
}

std::optional<std::string> resolveHelpLink(std::string_view base, std::string_view link) {
    while (!link.empty() && isSpace(link.front())) link.remove_prefix(1);
    while (!link.empty() && isSpace(link.back())) link.remove_suffix(1);

    // A link into a help file ("ms-its:PEDANOR.chm::/a.htm") names the page after "::".
    for (std::string_view prefix : {"ms-its:", "mk:@msitstore:", "its:"}) {
        if (startsWithNoCase(link, prefix)) {
            const std::size_t separator = link.find("::");
            if (separator == std::string_view::npos) return std::nullopt;
            link = link.substr(separator + 2);
            base = "/";
            break;
        }
    }
    // Any other scheme leaves the help file.
    const std::size_t colon = link.find(':');
    if (colon != std::string_view::npos && link.find_first_of("/#?") > colon) return std::nullopt;

    link = link.substr(0, link.find_first_of("#?"));

    std::string decoded;
    for (std::size_t i = 0; i < link.size(); ++i) {
        if (link[i] == '%' && i + 2 < link.size() &&
            std::isxdigit(static_cast<unsigned char>(link[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(link[i + 2]))) {
            decoded +=
                static_cast<char>(std::stoi(std::string(link.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        } else {
            decoded += link[i] == '\\' ? '/' : link[i];
        }
    }

    std::string joined;
    if (decoded.empty()) {
        joined = std::string(base);  // a link to a place in the same page
    } else if (decoded.front() == '/') {
        joined = decoded;
    } else {
        const std::size_t slash = base.rfind('/');
        joined = (slash == std::string_view::npos ? std::string()
                                                  : std::string(base.substr(0, slash + 1))) +
                 decoded;
    }

    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= joined.size()) {
        std::size_t end = joined.find('/', start);
        if (end == std::string::npos) end = joined.size();
        const std::string part = joined.substr(start, end - start);
        if (part == "..") {
            if (parts.empty()) return std::nullopt;
            parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string result;
    for (const auto& part : parts) result += "/" + part;
    if (result.empty()) return std::nullopt;
    // A link to a folder keeps its trailing slash so that it is not taken for a page.
    if (!joined.empty() && joined.back() == '/') result += '/';
    return result;
}

void ChmFile::Closer::operator()(chmFile* file) const {
    chm_close(file);
}

ChmFile::ChmFile(const std::filesystem::path& file) : path_(file) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        throw Error("No existe el archivo de ayuda " + quoted(file));
    }
    file_.reset(chm_open(file.c_str()));
    if (!file_) {
        throw Error("El archivo de ayuda " + quoted(file) +
                    " no es un archivo de ayuda HTML compilado (.chm) válido");
    }
    readSystemRecord();
    // Older compilers leave the names out of the system record.
    for (const auto& inner : files()) {
        if (contents_file_.empty() && endsWithNoCase(inner, ".hhc")) contents_file_ = inner;
        if (index_file_.empty() && endsWithNoCase(inner, ".hhk")) index_file_ = inner;
    }
}

ChmFile::~ChmFile() = default;

void ChmFile::readSystemRecord() {
    const auto system = read("/#SYSTEM");
    if (!system) return;
    const std::string_view bytes = *system;
    // A version number, then records of a 16-bit code, a 16-bit length and the data.
    std::size_t at = 4;
    while (at + 4 <= bytes.size()) {
        const std::uint16_t code = readLe16(bytes, at);
        const std::uint16_t length = readLe16(bytes, at + 2);
        at += 4;
        if (at + length > bytes.size()) break;  // a cut record: keep what was read
        const std::string data = cString(bytes.substr(at, length));
        if (!data.empty()) {
            if (code == kSystemContentsFile) contents_file_ = rooted(data);
            if (code == kSystemIndexFile) index_file_ = rooted(data);
            if (code == kSystemDefaultTopic) default_topic_ = rooted(data);
            if (code == kSystemTitle) title_ = toUtf8(data);
        }
        at += length;
    }
}

namespace {

struct Listing {
    std::vector<std::string> paths;
};

int collect(chmFile*, chmUnitInfo* unit, void* context) {
    const std::string_view path = unit->path;
    // Internal files ("/#SYSTEM", "/$WWKeywordLinks/...", "::DataSpace/...") and folders.
    if (path.size() > 1 && path.front() == '/' && path[1] != '#' && path[1] != '$' &&
        path.back() != '/') {
        static_cast<Listing*>(context)->paths.emplace_back(path);
    }
    return CHM_ENUMERATOR_CONTINUE;
}

}  // namespace

std::vector<std::string> ChmFile::files() const {
    Listing listing;
    chm_enumerate(file_.get(), CHM_ENUMERATE_ALL, collect, &listing);
    return listing.paths;
}

bool ChmFile::contains(std::string_view inner) const {
    chmUnitInfo unit{};
    const std::string path = rooted(std::string(inner));
    return chm_resolve_object(file_.get(), path.c_str(), &unit) == CHM_RESOLVE_SUCCESS;
}

std::optional<std::string> ChmFile::read(std::string_view inner) const {
    chmUnitInfo unit{};
    const std::string path = rooted(std::string(inner));
    if (chm_resolve_object(file_.get(), path.c_str(), &unit) != CHM_RESOLVE_SUCCESS)
        return std::nullopt;
    // No page or picture of a help file comes near this; a damaged directory may claim more.
    constexpr LONGUINT64 kLargest = 64u << 20;
    if (unit.length > kLargest) {
        throw Error("El archivo de ayuda " + quoted(path_) + " está dañado: \"" + path +
                    "\" dice ocupar " + std::to_string(unit.length) + " bytes");
    }
    std::string bytes(static_cast<std::size_t>(unit.length), '\0');
    LONGUINT64 done = 0;
    while (done < unit.length) {
        const LONGINT64 got = chm_retrieve_object(
            file_.get(), &unit, reinterpret_cast<unsigned char*>(bytes.data()) + done, done,
            static_cast<LONGINT64>(unit.length - done));
        if (got <= 0) {
            throw Error("El archivo de ayuda " + quoted(path_) +
                        " está dañado: no se puede leer \"" + path + "\"");
        }
        done += static_cast<LONGUINT64>(got);
    }
    return bytes;
}

std::string ChmFile::defaultTopic() const {
    if (!default_topic_.empty()) return default_topic_;
    // Depth first: the first page the contents name.
    std::vector<ContentsEntry> pending = contents();
    std::reverse(pending.begin(), pending.end());
    while (!pending.empty()) {
        ContentsEntry entry = std::move(pending.back());
        pending.pop_back();
        if (!entry.local.empty()) {
            if (auto page = resolveHelpLink("/", entry.local)) return *page;
        }
        for (auto it = entry.children.rbegin(); it != entry.children.rend(); ++it)
            pending.push_back(*it);
    }
    return {};
}

namespace {

std::vector<ContentsEntry> readSitemap(const ChmFile& help, const std::string& inner) {
    if (inner.empty()) return {};
    const auto sitemap = help.read(inner);
    return sitemap ? parseSitemap(*sitemap) : std::vector<ContentsEntry>{};
}

}  // namespace

std::vector<ContentsEntry> ChmFile::contents() const {
    return readSitemap(*this, contents_file_);
}

std::vector<ContentsEntry> ChmFile::index() const {
    return readSitemap(*this, index_file_);
}

std::optional<std::string> ChmFile::topicForContext(std::uint32_t context) const {
    // "#IVB": the byte count of what follows, then pairs of a context number and the offset
    // of the page's name in "#STRINGS".
    const auto ivb = read("/#IVB");
    if (!ivb || ivb->size() < 4) return std::nullopt;
    const std::size_t length = std::min<std::size_t>(readLe32(*ivb, 0), ivb->size() - 4);
    for (std::size_t at = 4; at + 8 <= 4 + length; at += 8) {
        if (readLe32(*ivb, at) != context) continue;
        const std::uint32_t offset = readLe32(*ivb, at + 4);
        const auto strings = read("/#STRINGS");
        if (!strings || offset >= strings->size()) return std::nullopt;
        std::string name = cString(std::string_view(*strings).substr(offset));
        std::replace(name.begin(), name.end(), '\\', '/');
        // Free Pascal's compiler stores the page with the absolute path it had on the
        // compiling machine ("/build/help/stage/principal.htm"): take the longest tail of that
        // path that names a page inside.
        for (std::size_t from = 0; from < name.size(); from = name.find('/', from + 1)) {
            if (const auto page = resolveHelpLink("/", std::string_view(name).substr(from))) {
                if (contains(*page)) return page;
            }
            if (name.find('/', from + 1) == std::string::npos) break;
        }
        return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace ttp::app
