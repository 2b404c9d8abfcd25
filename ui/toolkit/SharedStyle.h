#pragma once

#include <QApplication>
#include <QPointer>
#include <QStyle>

// The one instance of a style class that the controls using it share. It belongs to the
// application, so it lives as long as the application does, and a new application gets a new one.
template <typename Style>
QStyle* SharedStyle() {
  static QPointer<Style> style;
  if (style.isNull()) {
    style = new Style;
    style->setParent(qApp);
  }
  return style;
}
