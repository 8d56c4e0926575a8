#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "export/code_list.h"

// The short-code rule: codes of at most 10 characters for the timetabler, unique within a
// table without regard to letter case. Texts are Windows-1252.
namespace ttp::shortcode {

// Subjects and tasks. `longCode` is the trimmed element text. Nothing when the long code was
// already seen in this run (the element gets no row); otherwise the long code is entered in
// `longCodes` and the code in `codes`.
std::optional<std::string> asignomt(std::string_view longCode, CodeList& codes,
                                    CodeList& longCodes);

// Teachers: from the trimmed `nombre`, whole.
std::string proft(std::string_view name, CodeList& codes);

// Ordinary rooms: from the trimmed `nombre` (its first 10 characters, trimmed again).
std::string aulat(std::string_view name, CodeList& codes);

// Generic room number k: from the generic name as read (not trimmed) followed by k.
std::string aulatGeneric(std::string_view genericName, int k, CodeList& codes);

// Groups: level, course and unit, each trimmed, joined.
std::string grupost(std::string_view level, std::string_view course, std::string_view unit,
                    CodeList& codes);

}  // namespace ttp::shortcode
