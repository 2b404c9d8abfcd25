#include "ui/toolkit/ScrollBar.h"

#include <QSignalBlocker>
#include <QStyleOptionSlider>
#include <algorithm>

#include "ui/toolkit/Application.h"

TScrollBar::TScrollBar(QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {
  setSingleStep(1);
  setPageStep(1);
  // The bar covers its whole rectangle. Filling it first makes it opaque to Qt, so a move of
  // the thumb repaints the bar alone, not the window and the labels that lie beneath its edges.
  setAutoFillBackground(true);
  {
    const QSignalBlocker blocker(this);
    setRange(min_, max_);
    setValue(position_);
  }
  // Programmatic sets keep Qt's value in step with signals blocked, so whatever reaches this
  // slot comes from the user: arrows, clicks beside the thumb, dragging, the wheel.
  connect(this, &QAbstractSlider::valueChanged, this, &TScrollBar::OnUserValue);
}

void TScrollBar::SetPosition(int position) {
  Apply(position, min_, max_);
}
void TScrollBar::SetMin(int min) {
  Apply(position_, min, max_);
}
void TScrollBar::SetMax(int max) {
  Apply(position_, min_, max);
}
void TScrollBar::SetParams(int position, int min, int max) {
  Apply(position, min, max);
}

void TScrollBar::SetSmallChange(int step) {
  setSingleStep(step);
}
void TScrollBar::SetLargeChange(int step) {
  setPageStep(step);
}

void TScrollBar::Apply(int position, int min, int max) {
  if (max < min || max < kPageSize) throw EToolkitError("Scrollbar property out of range");
  position = std::clamp(position, min, max);
  const bool moved = position != position_;
  min_ = min;
  max_ = max;
  position_ = position;
  {
    const QSignalBlocker blocker(this);
    setRange(min, max);
    setValue(position);
  }
  if (moved && OnChange) OnChange();
}

void TScrollBar::OnUserValue(int value) {
  if (value == position_) return;
  position_ = value;
  RunGuarded(OnChange);
}

void TScrollBar::initStyleOption(QStyleOptionSlider* option) const {
  QScrollBar::initStyleOption(option);
  option->pageStep = 0;
}
