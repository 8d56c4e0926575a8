#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QSize;
class QWidget;

// The hosted start: the timetabler starts the converter with a direction and the id of a
// window of its own, into which the converter's window is embedded.
namespace ttp::app {

// The program's parameters without the program path. Empty arguments are dropped: on
// Windows the command-line rule never yields one, and the parameter count must agree.
std::vector<std::string> programParameters(int argc, const char* const* argv);

// ASCII letters A to Z lower-cased, every other byte left as it is.
std::string lowerAscii(std::string_view text);

// The integer conversion of "$" + `digits`: one or more hexadecimal digits and nothing else,
// at most 8 of them significant (leading zeros do not count). Nothing otherwise.
std::optional<std::uint32_t> parseHexHandle(std::string_view digits);

// What the parameters ask for.
struct HostedStart {
    // Exactly two parameters were given.
    bool twoParameters = false;
    // Parameter 1 lower-cased; empty without two parameters.
    std::string direction;
    // The host window, when parameter 2 converted.
    std::optional<std::uint32_t> handle;
    // With two parameters and a handle that does not convert: "'$<param 2>' no es un valor
    // entero válido" (UTF-8).
    std::string handleError;

    bool hosted() const { return handle.has_value(); }
};

HostedStart readParameters(const std::vector<std::string>& parameters);

// Makes `window` a borderless child of the foreign window `host`, centred in its client area.
// Only the X11 platform can do this; elsewhere (Wayland, offscreen) it does nothing and says
// so by returning false.
bool embedInto(QWidget& window, std::uint32_t host);

// The size of the client area of the foreign window `host` in the display's pixels; empty when
// it cannot be known (not X11, or no such window).
QSize hostClientSize(std::uint32_t host);

}  // namespace ttp::app
