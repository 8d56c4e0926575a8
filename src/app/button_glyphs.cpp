#include "app/button_glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPixmap>

namespace ttp::app {
namespace {

constexpr int kSide = 16;

QPixmap blankGlyph() {
    QPixmap pixmap(kSide, kSide);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

}  // namespace

QIcon okGlyph() {
    QPixmap pixmap = blankGlyph();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 128, 0), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath tick;
    tick.moveTo(2.5, 8.5);
    tick.lineTo(6.5, 12.5);
    tick.lineTo(13.5, 3.5);
    painter.drawPath(tick);
    return QIcon(pixmap);
}

QIcon closeGlyph() {
    // A door standing open, as the close kind of button has always shown.
    QPixmap pixmap = blankGlyph();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(64, 64, 64), 1.2));
    painter.setBrush(QColor(128, 128, 128));
    painter.drawRect(QRectF(3.5, 1.5, 9, 13));  // frame
    painter.setBrush(QColor(0, 128, 128));
    QPolygonF door;
    door << QPointF(3.5, 1.5) << QPointF(9.5, 3.5) << QPointF(9.5, 15.5) << QPointF(3.5, 14.5);
    painter.drawPolygon(door);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 0));
    painter.drawEllipse(QPointF(8.0, 9.0), 0.9, 0.9);  // knob
    return QIcon(pixmap);
}

}  // namespace ttp::app
