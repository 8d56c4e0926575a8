#pragma once

#include <QIcon>

// The glyphs of the OK and close buttons, drawn here so that they look alike on every
// platform and style.
namespace ttp::app {

QIcon okGlyph();
QIcon closeGlyph();

}  // namespace ttp::app
