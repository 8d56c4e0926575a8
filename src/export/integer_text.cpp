#include "export/integer_text.h"

#include <limits>
#include <string>

#include "core/error.h"
#include "formats/text.h"

namespace ttp::integer_text {

std::optional<std::int32_t> parse(std::string_view text) {
    std::string_view digits = text;
    bool negative = false;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    if (digits.empty()) return std::nullopt;
    std::int64_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        // Past this bound no further digit can bring it back into range.
        if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) {
            return std::nullopt;
        }
    }
    if (negative) value = -value;
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

std::int32_t require(std::string_view text, std::string_view where) {
    if (auto value = parse(text)) return *value;
    std::string message(where);
    if (!message.empty()) message += ": ";
    message += "'" + text::toUtf8(text) + "' no es un valor entero válido";
    throw Error(message);
}

}  // namespace ttp::integer_text
