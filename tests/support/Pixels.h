#pragma once

// Pixel checks shared by the tests of the canvas and of the window.

#include <QImage>
#include <QRect>

#include "ui/toolkit/Colors.h"

// The preview's colours as the window's design gives them.
constexpr TColor kBrightGreen = 0x00C000;  // frame and curve
constexpr TColor kDimGreen = 0x008000;     // axes, ticks and labels

// How many pixels of `image` have the colour `colour`: all of them, or those in `area` (the part
// of it outside the image counts none).
inline int PixelsOf(const QImage& image, TColor colour, QRect area = QRect()) {
  area = area.isNull() ? image.rect() : area & image.rect();
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      count += image.pixel(x, y) == ToQColor(colour).rgb();
  return count;
}
