#pragma once

#include <QFont>

// The windows' fonts: the design's Windows faces first, then faces with the same metrics or
// look that Linux systems carry.
namespace ttp::app {

// Arial at a character height in pixels.
QFont arialFont(int pixelSize, bool bold = true);

// MS Sans Serif at a character height in pixels (8 pt is 11 pixels at 96 dpi).
QFont sansSerifFont(int pixelSize, bool bold = false);

}  // namespace ttp::app
