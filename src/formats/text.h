#pragma once

#include <string>
#include <string_view>

// Values travel between the document and the tables as single-byte Windows-1252 text
// ("ANSI" below); the document itself and every message are UTF-8.
namespace ttp::text {

// UTF-8 to Windows-1252; characters the code page lacks (and malformed bytes) become '?'.
std::string toAnsi(std::string_view utf8);

// Windows-1252 to UTF-8. The five undefined bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to
// the C1 controls of the same value.
std::string toUtf8(std::string_view ansi);

// Removes every character of code 32 or less at both ends.
std::string trim(std::string_view s);

// Upper-case form of Windows-1252 text as a person would fold it (a/A, á/Á, ñ/Ñ, ü/Ü,
// œ/Œ, š/Š, ž/Ž, ÿ/Ÿ); the key of case-insensitive look-ups.
std::string foldCase(std::string_view ansi);

// Equality of Windows-1252 texts without regard to letter case.
bool equalsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace ttp::text
