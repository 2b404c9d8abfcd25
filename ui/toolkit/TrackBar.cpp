#include "ui/toolkit/TrackBar.h"

#include <QScopedValueRollback>
#include <algorithm>

#include "ui/toolkit/Application.h"

TTrackBar::TTrackBar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
  setRange(0, 10);
  setSingleStep(1);
  setPageStep(2);
  connect(this, &QAbstractSlider::valueChanged, this, [this](int) {
    if (!setting_) RunGuarded(OnChange);
  });
}

void TTrackBar::SetRange(int min, int max) {
  const int before = value();
  {
    const QScopedValueRollback guard(setting_, true);
    setRange(min, std::max(min, max));
  }
  if (value() != before && OnChange) OnChange();
}

void TTrackBar::SetPosition(int position) {
  position = std::clamp(position, minimum(), maximum());
  if (position == value()) return;
  {
    const QScopedValueRollback guard(setting_, true);
    setValue(position);
  }
  if (OnChange) OnChange();
}
