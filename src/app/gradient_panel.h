#pragma once

#include <QColor>
#include <QWidget>

namespace ttp::app {

// A panel filled with a vertical three-colour gradient: the start colour at the top edge, the
// middle colour at half height, the end colour at the bottom edge. Carries the windows'
// controls.
class GradientPanel : public QWidget {
    Q_OBJECT
  public:
    GradientPanel(QWidget* parent, QColor start, QColor middle, QColor end);

    QColor startColor() const { return start_; }
    QColor middleColor() const { return middle_; }
    QColor endColor() const { return end_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor start_;
    QColor middle_;
    QColor end_;
};

}  // namespace ttp::app
