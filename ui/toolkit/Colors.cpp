#include "ui/toolkit/Colors.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <QWidget>
#include <iterator>
#include <utility>

#include "ui/toolkit/TrackBar.h"

QColor ToQColor(TColor color) {
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

TColor FromQColor(const QColor& color) {
  return static_cast<TColor>(color.red()) | (static_cast<TColor>(color.green()) << 8) |
         (static_cast<TColor>(color.blue()) << 16);
}

QPalette ClassicPalette() {
  const QColor black(0x00, 0x00, 0x00);
  const QColor white(0xFF, 0xFF, 0xFF);
  const QColor ground(0xEF, 0xEF, 0xEF);
  QColor placeholder = black;
  placeholder.setAlpha(128);
  QPalette palette;
  const std::pair<QPalette::ColorRole, QColor> colours[] = {
      {QPalette::WindowText, black},
      {QPalette::Button, ground},
      {QPalette::Light, white},
      {QPalette::Midlight, QColor(0xCA, 0xCA, 0xCA)},
      {QPalette::Dark, QColor(0x9F, 0x9F, 0x9F)},
      {QPalette::Mid, QColor(0xB8, 0xB8, 0xB8)},
      {QPalette::Text, black},
      {QPalette::BrightText, white},
      {QPalette::ButtonText, black},
      {QPalette::Base, white},
      {QPalette::Window, ground},
      {QPalette::Shadow, QColor(0x76, 0x76, 0x76)},
      {QPalette::Highlight, QColor(0x30, 0x8C, 0xC6)},
      {QPalette::HighlightedText, white},
      {QPalette::Link, QColor(0x00, 0x00, 0xFF)},
      {QPalette::LinkVisited, QColor(0xFF, 0x00, 0xFF)},
      {QPalette::AlternateBase, QColor(0xF7, 0xF7, 0xF7)},
      {QPalette::NoRole, black},
      {QPalette::ToolTipBase, QColor(0xFF, 0xFF, 0xDC)},
      {QPalette::ToolTipText, black},
      {QPalette::PlaceholderText, placeholder},
  };
  static_assert(std::size(colours) == QPalette::NColorRoles, "every colour role is fixed");
  for (const auto& [role, colour] : colours) palette.setColor(role, colour);  // all groups
  const std::pair<QPalette::ColorRole, QColor> disabled[] = {
      {QPalette::WindowText, ToQColor(clGray)},
      {QPalette::Text, ToQColor(clGray)},
      {QPalette::ButtonText, ToQColor(clGray)},
      {QPalette::Dark, QColor(0xBE, 0xBE, 0xBE)},
      {QPalette::Base, ground},
      {QPalette::Shadow, QColor(0xB1, 0xB1, 0xB1)},
      {QPalette::Highlight, QColor(0x91, 0x91, 0x91)},
  };
  for (const auto& [role, colour] : disabled) palette.setColor(QPalette::Disabled, role, colour);
  return palette;
}

namespace {

// The object of the application that owns the program's style.
const QString kStyleOwner = QStringLiteral("ClassicStyleOwner");

}  // namespace

QStyle* ClassicStyle() {
  // Made once per application and deleted with it. Its owner is a child of the application, not
  // the application itself: the application deletes its old style when it gets another only
  // while that style is its own child, and the window keeps this style when a desktop sets its
  // own later.
  auto* owner = qApp->findChild<QObject*>(kStyleOwner, Qt::FindDirectChildrenOnly);
  if (owner == nullptr) {
    owner = new QObject(qApp);
    owner->setObjectName(kStyleOwner);
    WithTrackBarThumb(QStyleFactory::create(QStringLiteral("Fusion")))->setParent(owner);
  }
  return owner->findChild<QStyle*>(QString(), Qt::FindDirectChildrenOnly);
}

void ApplyClassicLook() {
  // The style first: setting it may reset the palette. The application makes the style its own
  // child; it goes back to its owner.
  QStyle* style = ClassicStyle();
  QObject* owner = style->parent();
  QApplication::setStyle(style);
  style->setParent(owner);
  QApplication::setPalette(ClassicPalette());
}

void KeepClassicLook(QWidget* window) {
  // A palette with every role set is not touched by the application's palette, and its roles
  // pass down to every control (over the palettes a theme gives classes of controls).
  QPalette palette = window->palette();
  const QPalette classic = ClassicPalette();
  for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
      const auto colourRole = static_cast<QPalette::ColorRole>(role);
      if (!palette.isBrushSet(group, colourRole))
        palette.setBrush(group, colourRole, classic.brush(group, colourRole));
    }
  }
  window->setPalette(palette);
  // A widget's own style does not pass to its children, so each control gets it.
  window->setStyle(ClassicStyle());
  for (QWidget* control : window->findChildren<QWidget*>())
    if (!control->testAttribute(Qt::WA_SetStyle)) control->setStyle(ClassicStyle());
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
