#include "formats/text.h"

#include <array>
#include <cstdint>

namespace ttp::text {
namespace {

// Unicode of the Windows-1252 bytes 0x80-0x9F; the undefined ones keep their C1 value.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char fromCodePoint(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
    for (std::size_t i = 0; i < kHigh.size(); ++i) {
        if (kHigh[i] == cp) return static_cast<char>(0x80 + i);
    }
    return '?';
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

unsigned char upper(unsigned char c) {
    if (c >= 'a' && c <= 'z') return c - 0x20;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
    switch (c) {
        case 0x9A:
            return 0x8A;  // š
        case 0x9C:
            return 0x8C;  // œ
        case 0x9E:
            return 0x8E;  // ž
        case 0xFF:
            return 0x9F;  // ÿ
        default:
            return c;
    }
}

}  // namespace

std::string toAnsi(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    const std::size_t n = utf8.size();
    while (i < n) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            out += static_cast<char>(b);
            ++i;
            continue;
        }
        int extra = 0;
        char32_t cp = 0;
        char32_t least = 0;  // smallest code point this length may carry (no overlong forms)
        if ((b & 0xE0) == 0xC0) {
            extra = 1;
            cp = b & 0x1F;
            least = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2;
            cp = b & 0x0F;
            least = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3;
            cp = b & 0x07;
            least = 0x10000;
        } else {  // a stray continuation byte or a byte no UTF-8 text holds
            out += '?';
            ++i;
            continue;
        }
        // A malformed sequence becomes one '?' covering the lead byte and the continuation
        // bytes that follow it.
        int taken = 0;
        while (taken < extra && i + 1 + taken < n &&
               (static_cast<unsigned char>(utf8[i + 1 + taken]) & 0xC0) == 0x80) {
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + 1 + taken]) & 0x3F);
            ++taken;
        }
        i += 1 + taken;
        const bool valid =
            taken == extra && cp >= least && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
        out += valid ? fromCodePoint(cp) : '?';
    }
    return out;
}

std::string toUtf8(std::string_view ansi) {
    std::string out;
    out.reserve(ansi.size() + ansi.size() / 4);
    for (const char ch : ansi) {
        const auto b = static_cast<unsigned char>(ch);
        char32_t cp = b;
        if (b >= 0x80 && b < 0xA0) cp = kHigh[b - 0x80];
        appendUtf8(out, cp);
    }
    return out;
}

std::string trim(std::string_view s) {
    std::size_t begin = 0;
    std::size_t end = s.size();
    while (begin < end && static_cast<unsigned char>(s[begin]) <= 32) ++begin;
    while (end > begin && static_cast<unsigned char>(s[end - 1]) <= 32) --end;
    return std::string(s.substr(begin, end - begin));
}

std::string foldCase(std::string_view ansi) {
    std::string out(ansi);
    for (char& c : out) c = static_cast<char>(upper(static_cast<unsigned char>(c)));
    return out;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (upper(static_cast<unsigned char>(a[i])) != upper(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

}  // namespace ttp::text
