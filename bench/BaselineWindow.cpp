#include "bench/BaselineWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPolygonF>
#include <QScrollBar>
#include <cmath>
#include <numbers>

// A sine curve with as many periods across as the value has thousands, drawn from state.
class BaselineWindow::Curve : public QWidget {
 public:
  using QWidget::QWidget;
  void SetValue(int value) {
    value_ = value;
    update();
  }

 protected:
  void paintEvent(QPaintEvent* /*event*/) override {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(Qt::black);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    QPolygonF curve;
    const double periods = value_ / 1000.0;
    for (int x = 0; x < width(); ++x) {
      const double phase = 2 * std::numbers::pi * periods * x / width();
      curve << QPointF(x, height() / 2.0 * (1 - 0.8 * std::sin(phase)));
    }
    painter.setPen(Qt::red);
    painter.drawPolyline(curve);
  }

 private:
  int value_ = 1000;
};

// The same places and sizes as the generator's frequency bar, value box, preview and indicator.
BaselineWindow::BaselineWindow() {
  setFixedSize(471, 359);
  bar_ = new QScrollBar(Qt::Horizontal, this);
  bar_->setGeometry(8, 136, 377, 12);
  bar_->setRange(1, 22050);
  edit_ = new QLineEdit(this);
  edit_->setGeometry(392, 134, 57, 16);
  curve_ = new Curve(this);
  curve_->setGeometry(282, 9, 180, 102);
  box_ = new QLabel(this);
  box_->setGeometry(8, 304, 291, 51);
  box_->setAutoFillBackground(true);
}

void BaselineWindow::Change() {
  value_ = value_ >= 2000 ? 1000 : value_ + 1;
  bar_->setValue(value_);
  edit_->setText(QString::number(value_));
  curve_->SetValue(value_);
  QPalette palette = box_->palette();
  palette.setColor(QPalette::Window, QColor::fromHsv(value_ % 360, 255, 255));
  box_->setPalette(palette);
  box_->setText(QString::number(value_));
}
