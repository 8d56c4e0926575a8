#pragma once

#include <QColor>
#include <QFont>
#include <QRect>

class QLabel;
class QWidget;

namespace ttp::app {

// A label of the window's design: transparent over its panel, top-left aligned, its text in
// `colour` whatever the background role of the window around it.
QLabel* colouredLabel(QWidget* parent, const char* name, const char* text, QRect place, QFont font,
                      QColor colour, bool wrap);

}  // namespace ttp::app
