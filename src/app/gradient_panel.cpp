#include "app/gradient_panel.h"

#include <QLinearGradient>
#include <QPainter>

namespace ttp::app {

GradientPanel::GradientPanel(QWidget* parent, QColor start, QColor middle, QColor end)
    : QWidget(parent), start_(start), middle_(middle), end_(end) {}

void GradientPanel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0.0, start_);
    gradient.setColorAt(0.5, middle_);
    gradient.setColorAt(1.0, end_);
    painter.fillRect(rect(), gradient);
}

}  // namespace ttp::app
