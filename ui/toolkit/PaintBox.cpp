#include "ui/toolkit/PaintBox.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

#include "ui/toolkit/Fonts.h"

namespace {

constexpr TColor kInvalidColor = 0xFFFFFFFF;

// The image pixel where the design pixel at `v` begins, at `scale` image pixels per design pixel.
int ImageCoordinate(int v, double scale) {
  if (scale == 1.0) return v;
  // The margin keeps whole products such as 3 * 1.1 from falling just below.
  return static_cast<int>(std::floor(v * scale + 1e-9));
}

// Passes plot(x, y) each pixel of the line from `from` to `to`, `to` excluded: one pixel per
// step along the major axis, the minor coordinate being the line's exact position
// i * minor / major rounded to the nearest pixel, the smaller one at an exact half: a line
// passing midway between two pixels lights the upper one (or the left one, for a steep line).
//
// The rounded position is carried from step to step rather than divided out at each pixel: with
// num = 2 * i * minor - major and den = 2 * major, the position is q = ceil(num / den), kept
// together with rest = q * den - num, 0 <= rest < den. A step adds 2 * minor to num, and since
// |minor| <= major the position moves by at most one pixel.
template <typename Plot>
void StepLine(QPoint from, QPoint to, const Plot& plot) {
  const int dx = to.x() - from.x();
  const int dy = to.y() - from.y();
  const bool xMajor = std::abs(dx) >= std::abs(dy);
  const int major = xMajor ? std::abs(dx) : std::abs(dy);
  const int minor = xMajor ? dy : dx;
  const int majorStep = (xMajor ? dx : dy) > 0 ? 1 : -1;
  const int den = 2 * major;
  int rest = major;  // q = 0 at i = 0
  int q = 0;
  for (int i = 0; i < major; ++i) {
    const int along = i * majorStep;
    if (xMajor)
      plot(from.x() + along, from.y() + q);
    else
      plot(from.x() + q, from.y() + along);
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

// An image of `size` design pixels at `ratio` image pixels per design pixel, in `colour`.
QImage NewImage(QSize size, qreal ratio, TColor colour) {
  QImage image(static_cast<int>(std::ceil(size.width() * ratio)),
               static_cast<int>(std::ceil(size.height() * ratio)), QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  image.fill(ToQColor(colour));
  return image;
}

}  // namespace

void TCanvas::SetFontSize(int points) {
  if (points == fontSize_) return;
  fontSize_ = points;
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
  if (x2 == x1 || y2 == y1) return;
  // The shape is worked out in image pixels, with an outline as wide as the pen.
  const Pixels pixels = Lock();
  x1 = pixels.ToImage(x1);
  y1 = pixels.ToImage(y1);
  const int width = pixels.ToImage(x2) - x1;
  const int height = pixels.ToImage(y2) - y1;
  if (width <= 0 || height <= 0) return;
  const int pen = pixels.penWidth;
  if (pixels.scale != 1.0) {
    w = static_cast<int>(std::lround(w * pixels.scale));
    h = static_cast<int>(std::lround(h * pixels.scale));
  }
  // Corner ellipses cannot be larger than the rectangle.
  const double rx = std::min(std::abs(w), width) / 2.0;
  const double ry = std::min(std::abs(h), height) / 2.0;

  // Horizontal inset of the shape in each row (relative to x1, the same at both ends). In the
  // rows of a corner the ellipse decides; a pixel belongs to the shape when its centre lies
  // within the corner ellipse. The `pen` rows above and below lie outside (inset past the
  // middle); row r is stored at r + pen.
  std::vector<int> inset(static_cast<size_t>(height + 2 * pen), width);
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
    inset[static_cast<size_t>(row + pen)] = in;
  }
  // Each row of the shape is filled with the brush; a pixel with a pixel outside the shape
  // within `pen` pixels to its left, right, above or below belongs to the outline and takes the
  // pen (with a one-pixel pen: a pixel with an outside neighbour).
  const QRgb penRgb = ToQColor(penColor_).rgb();
  const QRgb brush = ToQColor(brushColor_).rgb();
  for (int row = 0; row < height; ++row) {
    const size_t at = static_cast<size_t>(row + pen);
    const int in = inset[at];
    const int first = in;
    const int last = width - in - 1;
    if (first > last) continue;
    // The widest inset of the rows within `pen` above or below.
    int neighbour = 0;
    for (size_t k = 1; k <= static_cast<size_t>(pen); ++k)
      neighbour = std::max({neighbour, inset[at - k], inset[at + k]});
    // The outline covers the columns up to `neighbour` on the left and from width - neighbour
    // on the right, and at least the row's first and last `pen` pixels; the brush fills between.
    const int leftEnd = std::max(first + pen - 1, neighbour - 1);
    const int rightStart = std::min(last - pen + 1, width - neighbour);
    const int y = y1 + row;
    if (leftEnd + 1 >= rightStart) {
      pixels.Span(x1 + first, x1 + last, y, penRgb);
      continue;
    }
    pixels.Span(x1 + first, x1 + leftEnd, y, penRgb);
    pixels.Span(x1 + leftEnd + 1, x1 + rightStart - 1, y, brush);
    pixels.Span(x1 + rightStart, x1 + last, y, penRgb);
  }
  Changed();
}

void TCanvas::TextOut(int x, int y, const QString& text) {
  // The text's cell is filled with the brush first (an opaque background), then the glyphs are
  // drawn on their baseline. The painter maps design pixels to the image's own, and the font
  // engine renders the glyphs at that size.
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
  DrawPenLine(Lock(), penPos_, QPoint(x, y), ToQColor(penColor_).rgb());
  penPos_ = QPoint(x, y);
  Changed();
}

void TCanvas::PolylineTo(const QPoint* points, int count) {
  if (count <= 0) return;
  const Pixels pixels = Lock();
  const QRgb pen = ToQColor(penColor_).rgb();
  for (int i = 0; i < count; ++i) {
    DrawPenLine(pixels, penPos_, points[i], pen);
    penPos_ = points[i];
  }
  Changed();
}

void TCanvas::DrawPenLine(const Pixels& pixels, QPoint from, QPoint to, QRgb pen) {
  if (pixels.scale == 1.0) {
    DrawLine(pixels, from, to, pen);
  } else if (pixels.penWidth == 1) {
    DrawLine(pixels, ToImage(pixels, from), ToImage(pixels, to), pen);
  } else {
    DrawWideLine(pixels, ToImage(pixels, from), ToImage(pixels, to), pen);
  }
}

QPoint TCanvas::ToImage(const Pixels& pixels, QPoint point) {
  return QPoint(pixels.ToImage(point.x()), pixels.ToImage(point.y()));
}

void TCanvas::DrawWideLine(const Pixels& pixels, QPoint from, QPoint to, QRgb pen) {
  // Each of the line's pixels covers penWidth pixels along the minor axis, down or to the
  // right, so the line keeps one width along its length.
  const bool xMajor = std::abs(to.x() - from.x()) >= std::abs(to.y() - from.y());
  StepLine(from, to, [&pixels, pen, xMajor](int x, int y) {
    if (xMajor) {
      for (int k = 0; k < pixels.penWidth; ++k) pixels.Plot(x, y + k, pen);
    } else {
      pixels.Span(x, x + pixels.penWidth - 1, y, pen);
    }
  });
}

void TCanvas::DrawLine(const Pixels& pixels, QPoint from, QPoint to, QRgb pen) {
  const auto inside = [&pixels](QPoint p) {
    return static_cast<unsigned>(p.x()) < static_cast<unsigned>(pixels.width) &&
           static_cast<unsigned>(p.y()) < static_cast<unsigned>(pixels.height);
  };
  if (inside(from) && inside(to)) {
    // Both end points inside the image: so is every pixel between them, written without checks.
    StepLine(from, to, [&pixels, pen](int x, int y) {
      reinterpret_cast<QRgb*>(pixels.bits + static_cast<qsizetype>(y) * pixels.bytesPerLine)[x] =
          pen;
    });
  } else {
    StepLine(from, to, [&pixels, pen](int x, int y) { pixels.Plot(x, y, pen); });
  }
}

void TCanvas::SetPixel(int x, int y, TColor color) {
  // A square as wide as the pen.
  const Pixels pixels = Lock();
  const int left = pixels.ToImage(x);
  const int top = pixels.ToImage(y);
  for (int row = top; row < top + pixels.penWidth; ++row)
    pixels.Span(left, left + pixels.penWidth - 1, row, ToQColor(color).rgb());
  Changed();
}

TColor TCanvas::Pixel(int x, int y) const {
  const double scale = image_->devicePixelRatio();
  x = ImageCoordinate(x, scale);
  y = ImageCoordinate(y, scale);
  if (!image_->rect().contains(x, y)) return kInvalidColor;
  return FromQColor(QColor::fromRgb(image_->pixel(x, y)));
}

TCanvas::Pixels TCanvas::Lock() {
  // bits() detaches a shared image once; the pixels are then written directly.
  const double scale = image_->devicePixelRatio();
  const int penWidth = std::max(1, static_cast<int>(std::lround(scale)));
  return Pixels{image_->bits(), image_->bytesPerLine(), image_->width(), image_->height(), scale,
                penWidth};
}

int TCanvas::Pixels::ToImage(int v) const {
  return ImageCoordinate(v, scale);
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
    : QWidget(parent), background_(background), canvas_(&image_) {
  image_ = NewImage(QSize(width, height), devicePixelRatioF(), background);
  canvas_.OnChanged = [this] { CanvasChanged(); };
  setAttribute(Qt::WA_OpaquePaintEvent);  // the image covers the whole box
  resize(width, height);
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

void TPaintBox::FollowDevicePixelRatio() {
  const qreal ratio = devicePixelRatioF();
  if (ratio == image_.devicePixelRatio()) return;
  QImage image = NewImage(size(), ratio, background_);
  if (OnDraw) {
    drawPending_ = true;  // drawn afresh at the new resolution
  } else {
    QPainter painter(&image);
    painter.drawImage(QRect(QPoint(0, 0), size()), image_);
  }
  image_ = std::move(image);
}

void TPaintBox::paintEvent(QPaintEvent*) {
  FollowDevicePixelRatio();
  DrawIfPending();
  QPainter painter(this);
  painter.drawImage(0, 0, image_);
}
