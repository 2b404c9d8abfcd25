#include "ui/toolkit/PaintBox.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "ui/toolkit/Fonts.h"

namespace {

constexpr TColor kInvalidColor = 0xFFFFFFFF;

}  // namespace

void TCanvas::SetFontSize(int points) {
  if (points == fontSize_) return;
  fontSize_ = points;
  fontCache_.reset();
}

void TCanvas::SetFontName(const QString& name) {
  if (name == fontName_) return;
  fontName_ = name;
  fontCache_.reset();
}

QFont TCanvas::Font() const {
  QFont font(fontName_);
  // Points at 96 pixels per inch, whatever the screen says.
  font.setPixelSize(static_cast<int>(std::lround(fontSize_ * 96.0 / 72.0)));
  font.setStyleStrategy(QFont::NoAntialias);
  return font;
}

TCanvas::FontCache& TCanvas::CachedFont() {
  // Building a font and its metrics costs far more than drawing a short label; the preview
  // draws three labels on every redraw, so keep them until the font changes.
  if (!fontCache_) {
    const QFont font = Font();
    const QFontMetricsF metrics(font);
    fontCache_.emplace(FontCache{font, metrics, static_cast<int>(std::ceil(metrics.ascent())),
                                 TextCellHeight(font)});
  }
  return *fontCache_;
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

  // Horizontal inset of the shape in each row (relative to x1, the same at both ends). In the
  // rows of a corner the ellipse decides; a pixel belongs to the shape when its centre lies
  // within the corner ellipse. Rows -1 and `height` lie outside (inset past the middle).
  std::vector<int> inset(static_cast<size_t>(height) + 2, width);
  for (int row = 0; row < height; ++row) {
    const double cy = row + 0.5;
    double dy = 0;
    if (cy < ry)
      dy = ry - cy;
    else if (cy > height - ry)
      dy = cy - (height - ry);
    int in = 0;
    if (dy > 0 && rx > 0 && ry > 0) {
      const double t = 1.0 - (dy * dy) / (ry * ry);
      const double half = t > 0 ? rx * std::sqrt(t) : 0.0;
      // First pixel whose centre x + 0.5 lies at or right of rx - half.
      in = std::max(0, static_cast<int>(std::ceil(rx - half - 0.5)));
    }
    inset[static_cast<size_t>(row) + 1] = in;
  }
  // Each row of the shape is filled with the brush; a pixel whose left, right, upper or lower
  // neighbour lies outside the shape belongs to the outline and takes the pen.
  const QRgb pen = ToQColor(penColor_).rgb();
  const QRgb brush = ToQColor(brushColor_).rgb();
  const Pixels pixels = Lock();
  for (int row = 0; row < height; ++row) {
    const int in = inset[static_cast<size_t>(row) + 1];
    const int first = in;
    const int last = width - in - 1;
    if (first > last) continue;
    // Pixels from `first` up to `outerLeft` have an outside neighbour above or below.
    const int neighbour =
        std::max(inset[static_cast<size_t>(row)], inset[static_cast<size_t>(row) + 2]);
    // The outline covers the columns up to `neighbour` on the left and from width - neighbour
    // on the right, and at least the row's first and last pixel; the brush fills between.
    const int leftEnd = std::max(first, neighbour - 1);
    const int rightStart = std::min(last, width - neighbour);
    const int y = y1 + row;
    if (leftEnd + 1 >= rightStart) {
      pixels.Span(x1 + first, x1 + last, y, pen);
      continue;
    }
    pixels.Span(x1 + first, x1 + leftEnd, y, pen);
    pixels.Span(x1 + leftEnd + 1, x1 + rightStart - 1, y, brush);
    pixels.Span(x1 + rightStart, x1 + last, y, pen);
  }
  Changed();
}

void TCanvas::TextOut(int x, int y, const QString& text) {
  // The text's cell is filled with the brush first (an opaque background), then the glyphs are
  // drawn on their baseline.
  const FontCache& font = CachedFont();
  const int width = static_cast<int>(std::ceil(font.metrics.horizontalAdvance(text)));
  QPainter painter(image_);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setRenderHint(QPainter::TextAntialiasing, false);
  painter.fillRect(QRect(x, y, width, font.cellHeight), ToQColor(brushColor_));
  painter.setFont(font.font);
  painter.setPen(ToQColor(fontColor_));
  painter.drawText(QPoint(x, y + font.ascent), text);
  painter.end();
  Changed();
}

void TCanvas::MoveTo(int x, int y) {
  penPos_ = QPoint(x, y);
}

void TCanvas::LineTo(int x, int y) {
  DrawLine(Lock(), penPos_, QPoint(x, y), ToQColor(penColor_).rgb());
  penPos_ = QPoint(x, y);
  Changed();
}

void TCanvas::PolylineTo(const QPoint* points, int count) {
  if (count <= 0) return;
  const Pixels pixels = Lock();
  const QRgb pen = ToQColor(penColor_).rgb();
  for (int i = 0; i < count; ++i) {
    DrawLine(pixels, penPos_, points[i], pen);
    penPos_ = points[i];
  }
  Changed();
}

void TCanvas::DrawLine(const Pixels& pixels, QPoint from, QPoint to, QRgb pen) {
  const int x0 = from.x();
  const int y0 = from.y();
  const int x = to.x();
  const int y = to.y();
  const int dx = x - x0;
  const int dy = y - y0;
  const bool xMajor = std::abs(dx) >= std::abs(dy);
  // One pixel per step along the major axis, from the start point up to but not including the
  // end point; the minor coordinate is the line's exact position i * minor / major rounded to
  // the nearest pixel, the smaller one at an exact half: a line passing midway between two
  // pixels lights the upper one (or the left one, for a steep line).
  //
  // The rounded position is carried from step to step rather than divided out at each pixel:
  // with num = 2 * i * minor - major and den = 2 * major, the position is q = ceil(num / den),
  // kept together with rest = q * den - num, 0 <= rest < den. A step adds 2 * minor to num, and
  // since |minor| <= major the position moves by at most one pixel.
  const int major = xMajor ? std::abs(dx) : std::abs(dy);
  const int minor = xMajor ? dy : dx;
  const int den = 2 * major;
  int rest = major;  // q = 0 at i = 0
  const int majorStep = (xMajor ? dx : dy) > 0 ? 1 : -1;
  // Both end points inside the image: so is every pixel between them, written without checks.
  const auto inside = [&pixels](int px, int py) {
    return static_cast<unsigned>(px) < static_cast<unsigned>(pixels.width) &&
           static_cast<unsigned>(py) < static_cast<unsigned>(pixels.height);
  };
  if (inside(x0, y0) && inside(x, y)) {
    const qsizetype stride = pixels.bytesPerLine / static_cast<qsizetype>(sizeof(QRgb));
    const qsizetype alongMajor = xMajor ? majorStep : majorStep * stride;
    const qsizetype alongMinor = xMajor ? stride : 1;
    QRgb* pixel = reinterpret_cast<QRgb*>(pixels.bits) + y0 * stride + x0;
    for (int i = 0; i < major; ++i) {
      *pixel = pen;
      pixel += alongMajor;
      rest -= 2 * minor;
      if (rest < 0) {
        rest += den;
        pixel += alongMinor;
      } else if (rest >= den) {
        rest -= den;
        pixel -= alongMinor;
      }
    }
  } else {
    int q = 0;
    for (int i = 0; i < major; ++i) {
      const int along = i * majorStep;
      pixels.Plot(xMajor ? x0 + along : x0 + q, xMajor ? y0 + q : y0 + along, pen);
      rest -= 2 * minor;
      if (rest < 0) {
        rest += den;
        ++q;
      } else if (rest >= den) {
        rest -= den;
        --q;
      }
    }
  }
}

void TCanvas::SetPixel(int x, int y, TColor color) {
  Lock().Plot(x, y, ToQColor(color).rgb());
  Changed();
}

TColor TCanvas::Pixel(int x, int y) const {
  if (OnRead) OnRead();
  if (!image_->rect().contains(x, y)) return kInvalidColor;
  return FromQColor(QColor::fromRgb(image_->pixel(x, y)));
}

TCanvas::Pixels TCanvas::Lock() {
  // bits() detaches a shared image once; the pixels are then written directly.
  return Pixels{image_->bits(), image_->bytesPerLine(), image_->width(), image_->height()};
}

void TCanvas::Pixels::Plot(int x, int y, QRgb rgb) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return;
  reinterpret_cast<QRgb*>(bits + static_cast<qsizetype>(y) * bytesPerLine)[x] = rgb;
}

void TCanvas::Pixels::Span(int x1, int x2, int y, QRgb rgb) const {
  if (y < 0 || y >= height) return;
  x1 = std::max(x1, 0);
  x2 = std::min(x2, width - 1);
  if (x1 > x2) return;
  QRgb* row = reinterpret_cast<QRgb*>(bits + static_cast<qsizetype>(y) * bytesPerLine);
  std::fill(row + x1, row + x2 + 1, rgb);
}

void TCanvas::Changed() {
  if (OnChanged) OnChanged();
}

TPaintBox::TPaintBox(int width, int height, TColor background, QWidget* parent)
    : QWidget(parent), image_(width, height, QImage::Format_RGB32), canvas_(&image_) {
  image_.fill(ToQColor(background));
  canvas_.OnChanged = [this] { CanvasChanged(); };
  canvas_.OnRead = [this] { DrawIfPending(); };
  setAttribute(Qt::WA_OpaquePaintEvent);  // the image covers the whole box
  resize(width, height);
}

const QImage& TPaintBox::Image() {
  DrawIfPending();
  return image_;
}

void TPaintBox::Invalidate() {
  drawPending_ = true;
  CanvasChanged();
}

void TPaintBox::DrawIfPending() {
  if (!drawPending_ || drawing_) return;
  drawPending_ = false;
  drawing_ = true;
  if (OnDraw) OnDraw(canvas_);
  drawing_ = false;
}

void TPaintBox::CanvasChanged() {
  // Drawing done during a paint is shown by that paint.
  if (!drawing_) update();
}

void TPaintBox::paintEvent(QPaintEvent*) {
  DrawIfPending();
  QPainter painter(this);
  painter.drawImage(0, 0, image_);
}
