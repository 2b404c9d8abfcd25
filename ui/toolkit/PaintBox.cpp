#include "ui/toolkit/PaintBox.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "ui/toolkit/Fonts.h"

namespace {

// Floor and ceiling of a / b for b > 0, exact for negative a.
int FloorDiv(int a, int b) {
  return a >= 0 ? a / b : -((-a + b - 1) / b);
}
int CeilDiv(int a, int b) {
  return -FloorDiv(-a, b);
}

// The nearest whole number to num / den (den > 0), taking the smaller one at an exact half.
// This is the tie rule of a cosmetic line: a line passing midway between two pixels lights the
// upper one (or the left one, for a steep line).
int RoundHalfDown(int num, int den) {
  return CeilDiv(2 * num - den, 2 * den);
}

constexpr TColor kInvalidColor = 0xFFFFFFFF;

}  // namespace

void TCanvas::SetFontSize(int points) {
  fontSize_ = points;
}

void TCanvas::SetFontName(const QString& name) {
  fontName_ = name;
}

QFont TCanvas::Font() const {
  QFont font(fontName_);
  // Points at 96 pixels per inch, whatever the screen says.
  font.setPixelSize(static_cast<int>(std::lround(fontSize_ * 96.0 / 72.0)));
  font.setStyleStrategy(QFont::NoAntialias);
  return font;
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int w, int h) {
  if (x2 < x1) std::swap(x1, x2);
  if (y2 < y1) std::swap(y1, y2);
  const int width = x2 - x1;
  const int height = y2 - y1;
  if (width <= 0 || height <= 0) return;
  // Corner ellipses cannot be larger than the rectangle.
  const double rx = std::min(std::abs(w), width) / 2.0;
  const double ry = std::min(std::abs(h), height) / 2.0;

  // Horizontal extent of the shape in each row (relative to x1, right end exclusive). In the
  // rows of a corner the ellipse decides; a pixel belongs to the shape when its centre lies
  // within the corner ellipse.
  std::vector<int> left(static_cast<size_t>(height));
  for (int row = 0; row < height; ++row) {
    const double cy = row + 0.5;
    double dy = 0;
    if (cy < ry)
      dy = ry - cy;
    else if (cy > height - ry)
      dy = cy - (height - ry);
    int inset = 0;
    if (dy > 0 && rx > 0 && ry > 0) {
      const double t = 1.0 - (dy * dy) / (ry * ry);
      const double half = t > 0 ? rx * std::sqrt(t) : 0.0;
      // First pixel whose centre x + 0.5 lies at or right of rx - half.
      inset = static_cast<int>(std::ceil(rx - half - 0.5));
      if (inset < 0) inset = 0;
    }
    left[static_cast<size_t>(row)] = inset;
  }
  const auto inside = [&](int col, int row) {
    if (row < 0 || row >= height || col < 0 || col >= width) return false;
    const int inset = left[static_cast<size_t>(row)];
    return col >= inset && col < width - inset;
  };
  for (int row = 0; row < height; ++row) {
    for (int col = 0; col < width; ++col) {
      if (!inside(col, row)) continue;
      const bool edge = !inside(col - 1, row) || !inside(col + 1, row) || !inside(col, row - 1) ||
                        !inside(col, row + 1);
      Plot(x1 + col, y1 + row, edge ? penColor_ : brushColor_);
    }
  }
  Changed();
}

void TCanvas::TextOut(int x, int y, const QString& text) {
  const QFont font = Font();
  const QFontMetricsF metrics(font);
  const int ascent = static_cast<int>(std::ceil(metrics.ascent()));
  const int width = static_cast<int>(std::ceil(metrics.horizontalAdvance(text)));
  QPainter painter(image_);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setRenderHint(QPainter::TextAntialiasing, false);
  // The text's cell is filled with the brush first (an opaque background), then the glyphs are
  // drawn on their baseline.
  painter.fillRect(QRect(x, y, width, TextCellHeight(font)), ToQColor(brushColor_));
  painter.setFont(font);
  painter.setPen(ToQColor(fontColor_));
  painter.drawText(QPoint(x, y + ascent), text);
  painter.end();
  Changed();
}

void TCanvas::MoveTo(int x, int y) {
  penPos_ = QPoint(x, y);
}

void TCanvas::LineTo(int x, int y) {
  const int x0 = penPos_.x();
  const int y0 = penPos_.y();
  const int dx = x - x0;
  const int dy = y - y0;
  const int adx = std::abs(dx);
  const int ady = std::abs(dy);
  // One pixel per step along the major axis, from the start point up to but not including the
  // end point; the minor coordinate is the line's exact position rounded.
  if (adx >= ady) {
    const int sx = dx > 0 ? 1 : -1;
    for (int i = 0; i < adx; ++i) Plot(x0 + i * sx, y0 + RoundHalfDown(i * dy, adx), penColor_);
  } else {
    const int sy = dy > 0 ? 1 : -1;
    for (int i = 0; i < ady; ++i) Plot(x0 + RoundHalfDown(i * dx, ady), y0 + i * sy, penColor_);
  }
  penPos_ = QPoint(x, y);
  Changed();
}

void TCanvas::SetPixel(int x, int y, TColor color) {
  Plot(x, y, color);
  Changed();
}

TColor TCanvas::Pixel(int x, int y) const {
  if (!image_->rect().contains(x, y)) return kInvalidColor;
  return FromQColor(QColor::fromRgb(image_->pixel(x, y)));
}

void TCanvas::Plot(int x, int y, TColor color) {
  if (!image_->rect().contains(x, y)) return;
  image_->setPixel(x, y, ToQColor(color).rgb());
}

void TCanvas::Changed() {
  if (OnChanged) OnChanged();
}

TPaintBox::TPaintBox(int width, int height, TColor background, QWidget* parent)
    : QWidget(parent), image_(width, height, QImage::Format_RGB32), canvas_(&image_) {
  image_.fill(ToQColor(background));
  canvas_.OnChanged = [this] { update(); };
  setAttribute(Qt::WA_OpaquePaintEvent);  // the image covers the whole box
  resize(width, height);
}

void TPaintBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, image_);
}
