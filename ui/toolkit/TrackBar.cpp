#include "ui/toolkit/TrackBar.h"

#include <qdrawutil.h>

#include <QPainter>
#include <QProxyStyle>
#include <QScopedValueRollback>
#include <QStyleOptionSlider>
#include <algorithm>

#include "ui/toolkit/Application.h"
#include "ui/toolkit/Colors.h"

namespace {

// Gives every track bar its own thumb: the handle's rectangle is ThumbLength() pixels tall and
// centred on the bar (so drawing and mouse hits agree), and it is drawn as a raised button in
// place of the style's own handle, which each style shapes and insets differently.
class ThumbStyle : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;

  QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                       const QWidget* widget) const override {
    QRect rect = QProxyStyle::subControlRect(control, option, sub, widget);
    const auto* bar = qobject_cast<const TTrackBar*>(widget);
    if (control == CC_Slider && sub == SC_SliderHandle && bar != nullptr) {
      const int length = std::min(bar->ThumbLength(), option->rect.height());
      rect.setTop(option->rect.top() + (option->rect.height() - length) / 2);
      rect.setHeight(length);
    }
    return rect;
  }

  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                          QPainter* painter, const QWidget* widget) const override {
    const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (control != CC_Slider || slider == nullptr ||
        qobject_cast<const TTrackBar*>(widget) == nullptr) {
      QProxyStyle::drawComplexControl(control, option, painter, widget);
      return;
    }
    QStyleOptionSlider groove = *slider;
    groove.subControls &= ~SC_SliderHandle;
    QProxyStyle::drawComplexControl(control, &groove, painter, widget);
    if (slider->subControls & SC_SliderHandle) {
      const QRect handle = subControlRect(CC_Slider, slider, SC_SliderHandle, widget);
      const QBrush face = slider->palette.button();
      qDrawWinButton(painter, handle, slider->palette, false, &face);
    }
  }
};

}  // namespace

QStyle* WithTrackBarThumb(QStyle* base) {
  return new ThumbStyle(base);
}

TTrackBar::TTrackBar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
  // Its thumb also under another style of the application.
  setStyle(ClassicStyle());
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

void TTrackBar::SetThumbLength(int length) {
  thumbLength_ = std::max(1, length);
  update();
}
