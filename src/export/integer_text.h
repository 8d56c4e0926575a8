#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// Integer texts of the exchange document (day, slot number, hours, minutes, session counts and
// numbers): plain decimal only, so that "0x1F", " 5" or "1e3" never pass as numbers.
namespace ttp::integer_text {

// The value of an optional sign followed by decimal digits and nothing else; nothing when the
// text has another form or its value lies outside the 32-bit range.
std::optional<std::int32_t> parse(std::string_view text);

// As parse, but a text that is no such integer throws ttp::Error with the message
// "'<text>' no es un valor entero válido" preceded by `where` (UTF-8, e.g. "tramo de la
// línea 12, dia"). `text` is Windows-1252.
std::int32_t require(std::string_view text, std::string_view where);

}  // namespace ttp::integer_text
