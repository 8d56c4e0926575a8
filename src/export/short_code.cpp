#include "export/short_code.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "formats/text.h"

// How a code is made. A starting value c that is free is used as it is; a taken one gets a
// counter: a c of exactly 10 characters first loses its last character, then c1, c2, ... are
// tried until one is free. A value longer than 10 characters is folded to its first 8 and
// last 2 characters.
//
// "Free" is decided on the code the value would become, not only on the value: testing the
// unfolded value alone lets a long value fold onto a code already issued (two names sharing
// their first 8 and last 2 characters, a long name that recurs, a 9-character base past
// counter 10). Wherever the unfolded test already gives a new code, testing the folded one
// gives the same answer, so those codes do not change; elsewhere the counter simply goes on.
//
// Once a counter has three or more digits, folding the candidate drops some of them and the
// folded candidates start to repeat (c00 ... c99 over and over). When such a folded candidate
// is taken, the candidate that keeps every digit, the first 10 - d characters of c followed
// by the d digits, is tried before the next counter, so that a free code is always reached.
//
// The group codes enter the unfolded value in the list (later groups are tested against it)
// and, when it differs, the issued code as well; the other tables enter the issued code only.
namespace ttp::shortcode {
namespace {

constexpr std::size_t kWidth = 10;

// The 8+2 fold of a value longer than 10 characters.
std::string fold(std::string_view value) {
    if (value.size() <= kWidth) return std::string(value);
    return std::string(value.substr(0, 8)) + std::string(value.substr(value.size() - 2));
}

// The generic rooms' fold: of a value of length L above 10, its first 19 - L characters (none
// when that is not positive) and its last L - 9.
std::string genericFold(std::string_view value) {
    const std::size_t length = value.size();
    if (length <= kWidth) return std::string(value);
    const std::size_t front = length < 19 ? 19 - length : 0;
    return std::string(value.substr(0, front)) + std::string(value.substr(length - (length - 9)));
}

enum class Entered {
    CodeOnly,      // the list holds the issued codes
    ValueAndCode,  // the list holds the unfolded values, and the issued codes
};

struct Choice {
    std::string value;  // the starting value with any counter, unfolded
    std::string code;   // what the table receives
};

class Allocator {
  public:
    Allocator(CodeList& codes, Entered entered) : codes_(codes), entered_(entered) {}

    std::string allocate(std::string c) {
        const Choice choice = choose(std::move(c));
        if (entered_ == Entered::ValueAndCode) {
            codes_.add(choice.value);
            if (choice.code != choice.value) codes_.add(choice.code);
        } else {
            codes_.add(choice.code);
        }
        return choice.code;
    }

  private:
    bool isFree(const Choice& choice) const {
        if (codes_.contains(choice.code)) return false;
        return entered_ == Entered::CodeOnly || !codes_.contains(choice.value);
    }

    Choice choose(std::string c) const {
        Choice plain{c, fold(c)};
        if (isFree(plain)) return plain;
        if (c.size() == kWidth) c.pop_back();
        for (std::uint64_t n = codes_.firstCounter(c);; ++n) {
            const std::string digits = std::to_string(n);
            std::string value = c + digits;
            Choice folded{value, fold(value)};
            if (isFree(folded)) {
                codes_.rememberCounter(c, n);
                return folded;
            }
            if (value.size() > kWidth && digits.size() > 2) {
                const std::size_t keep = kWidth > digits.size() ? kWidth - digits.size() : 0;
                Choice whole{std::move(value), c.substr(0, keep) + digits};
                if (isFree(whole)) {
                    codes_.rememberCounter(c, n);
                    return whole;
                }
            }
        }
    }

    CodeList& codes_;
    Entered entered_;
};

std::string firstTen(std::string_view value) {
    return std::string(value.substr(0, std::min(value.size(), kWidth)));
}

}  // namespace

std::optional<std::string> asignomt(std::string_view longCode, CodeList& codes,
                                    CodeList& longCodes) {
    if (longCodes.contains(longCode)) return std::nullopt;
    longCodes.add(longCode);
    return Allocator(codes, Entered::CodeOnly).allocate(firstTen(longCode));
}

std::string proft(std::string_view name, CodeList& codes) {
    return Allocator(codes, Entered::CodeOnly).allocate(std::string(name));
}

std::string aulat(std::string_view name, CodeList& codes) {
    return Allocator(codes, Entered::CodeOnly).allocate(text::trim(firstTen(name)));
}

std::string aulatGeneric(std::string_view genericName, int k, CodeList& codes) {
    const std::string value = std::string(genericName) + std::to_string(k);
    return Allocator(codes, Entered::CodeOnly).allocate(text::trim(genericFold(value)));
}

std::string grupost(std::string_view level, std::string_view course, std::string_view unit,
                    CodeList& codes) {
    const std::string value = text::trim(level) + text::trim(course) + text::trim(unit);
    return Allocator(codes, Entered::ValueAndCode).allocate(value);
}

}  // namespace ttp::shortcode
