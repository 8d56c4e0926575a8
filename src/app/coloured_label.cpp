#include "app/coloured_label.h"

#include <QLabel>
#include <QPalette>

namespace ttp::app {

QLabel* colouredLabel(QWidget* parent, const char* name, const char* text, QRect place, QFont font,
                      QColor colour, bool wrap) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(place);
    label->setFont(font);
    label->setWordWrap(wrap);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Over a window whose background role is Button, a label would draw with ButtonText.
    label->setForegroundRole(QPalette::WindowText);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

}  // namespace ttp::app
