#include "ui/toolkit/Colors.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

QColor ToQColor(TColor color) {
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

TColor FromQColor(const QColor& color) {
  return static_cast<TColor>(color.red()) | (static_cast<TColor>(color.green()) << 8) |
         (static_cast<TColor>(color.blue()) << 16);
}

void ApplyClassicDisabledText() {
  QPalette palette = QApplication::palette();
  for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    palette.setColor(QPalette::Disabled, role, ToQColor(clGray));
  QApplication::setPalette(palette);
}

void SetFontColor(QWidget* widget, TColor color) {
  // Disabled text keeps the grey of disabled controls.
  QPalette palette = widget->palette();
  const QColor qcolor = ToQColor(color);
  for (const auto group : {QPalette::Active, QPalette::Inactive}) {
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
      palette.setColor(group, role, qcolor);
  }
  widget->setPalette(palette);
}

TColor FontColor(const QWidget* widget) {
  return FromQColor(widget->palette().color(QPalette::Active, QPalette::WindowText));
}

namespace {

// The colour roles a control fills its ground with.
constexpr QPalette::ColorRole kGroundRoles[] = {QPalette::Window, QPalette::Base, QPalette::Button};

}  // namespace

void SetColor(QWidget* widget, TColor color) {
  const QColor qcolor = ToQColor(color);
  // The same colour again changes nothing; skip building and resolving a new palette.
  if (widget->autoFillBackground()) {
    const QPalette& current = widget->palette();
    bool same = true;
    for (const auto role : kGroundRoles)
      for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        same = same && current.isBrushSet(group, role) && current.color(group, role) == qcolor;
    if (same) return;
  }
  QPalette palette = widget->palette();
  for (const auto role : kGroundRoles) palette.setColor(role, qcolor);
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

TColor Color(const QWidget* widget) {
  return FromQColor(widget->palette().color(QPalette::Active, QPalette::Window));
}
