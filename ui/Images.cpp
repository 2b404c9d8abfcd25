#include "ui/Images.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <numbers>

#include "ui/toolkit/Fonts.h"

namespace {

constexpr int kGlyphSize = 16;

// Grey, lighter version of a glyph for the disabled state.
QPixmap Disabled(const QPixmap& source) {
  QImage image = source.toImage().convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const int grey = 128 + qGray(line[x]) / 3;
      line[x] = qRgba(grey, grey, grey, qAlpha(line[x]));
    }
  }
  return QPixmap::fromImage(image);
}

// A sine drawn through whole x from `x0` to `x1`: y = mid - height * sin((x - x0) * pi / half).
QPainterPath SinePath(int x0, int x1, double mid, double height, double half) {
  QPainterPath path;
  for (int x = x0; x <= x1; ++x) {
    const double y = mid - height * std::sin((x - x0) * std::numbers::pi / half);
    x == x0 ? path.moveTo(x, y) : path.lineTo(x, y);
  }
  return path;
}

QPixmap DrawGlyph(Glyph glyph) {
  QPixmap pixmap(kGlyphSize, kGlyphSize);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  switch (glyph) {
    case Glyph::Play: {
      QPainterPath path;
      path.moveTo(4, 2);
      path.lineTo(14, 8);
      path.lineTo(4, 14);
      path.closeSubpath();
      p.fillPath(path, QColor(0, 150, 0));
      p.setPen(QColor(0, 90, 0));
      p.drawPath(path);
      break;
    }
    case Glyph::Stop:
      p.fillRect(QRectF(3, 3, 10, 10), QColor(200, 20, 20));
      p.setPen(QColor(120, 0, 0));
      p.drawRect(QRectF(3, 3, 10, 10));
      break;
    case Glyph::Effects: {
      // A small sine with a sparkle: something added to the tone.
      p.setPen(QPen(QColor(0, 70, 170), 1.5));
      p.drawPath(SinePath(1, 12, 10, 4, 5.5));
      p.setPen(QPen(QColor(230, 150, 0), 1.5));
      p.drawLine(QPointF(13, 1), QPointF(13, 7));
      p.drawLine(QPointF(10, 4), QPointF(16, 4));
      break;
    }
    case Glyph::Clean:
      // A plain sine: the tone without effects.
      p.setPen(QPen(QColor(0, 110, 60), 1.5));
      p.drawPath(SinePath(1, 15, 8, 5, 7));
      break;
  }
  return pixmap;
}

}  // namespace

QPixmap GlyphImage(Glyph glyph, bool enabled) {
  const QPixmap image = DrawGlyph(glyph);
  return enabled ? image : Disabled(image);
}

QPixmap LogoImage() {
  QPixmap pixmap(157, 51);
  QPainter p(&pixmap);
  QLinearGradient background(0, 0, 0, 51);
  background.setColorAt(0, QColor(20, 30, 60));
  background.setColorAt(1, QColor(5, 10, 25));
  p.fillRect(pixmap.rect(), background);

  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath wave;
  for (int x = 0; x <= 157; ++x) {
    const double y = 36 + 9 * std::sin(x * std::numbers::pi / 20) * std::exp(-x / 120.0);
    x == 0 ? wave.moveTo(x, y) : wave.lineTo(x, y);
  }
  p.setPen(QPen(QColor(0, 192, 0), 1.2));
  p.drawPath(wave);

  QFont title = DesignFont(QStringLiteral("Times New Roman"), 19, true);
  title.setStyleStrategy(QFont::PreferAntialias);
  p.setFont(title);
  p.setPen(QColor(255, 160, 0));
  p.drawText(QRect(0, 2, 157, 24), Qt::AlignCenter, QStringLiteral("Vimbra"));
  QFont small = DesignFont(QStringLiteral("MS Sans Serif"), 10, true);
  small.setStyleStrategy(QFont::PreferAntialias);
  p.setFont(small);
  p.setPen(QColor(200, 210, 230));
  p.drawText(QRect(0, 40, 157, 11), Qt::AlignCenter, QStringLiteral("Kestrov Lab generator"));
  return pixmap;
}
