#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPoint>
#include <QWidget>
#include <functional>
#include <optional>

#include "ui/toolkit/Colors.h"

// An immediate-mode drawing surface over an image, with the semantics of a classic GDI canvas:
// no antialiasing, a solid one-pixel pen, LineTo excluding its end point, RoundRect with right
// and bottom edges exclusive, TextOut drawing on the brush colour. Everything is clipped to the
// image.
//
// Coordinates are in pixels of the design. An image with a device pixel ratio above 1 (a HiDPI
// screen) is drawn at its own resolution: each coordinate is scaled to the image's pixels, the
// pen and a set pixel become that many device pixels wide (the ratio rounded), and text is
// rendered by the font engine at the scaled size. At ratio 1 design and image pixels coincide.
class TCanvas {
 public:
  explicit TCanvas(QImage* image) : image_(image) {}

  void SetPenColor(TColor color) { penColor_ = color; }
  void SetBrushColor(TColor color) { brushColor_ = color; }
  TColor BrushColor() const { return brushColor_; }
  void SetFontColor(TColor color) { fontColor_ = color; }
  TColor FontColor() const { return fontColor_; }
  // Font size in points (at 96 pixels per inch).
  void SetFontSize(int points);
  int FontSize() const { return fontSize_; }
  QFont Font() const;

  // Outline with the pen, interior with the brush, corners rounded by ellipses w x h.
  void RoundRect(int x1, int y1, int x2, int y2, int w, int h);
  // Text whose top left corner is (x, y), on the brush colour, in the canvas font.
  void TextOut(int x, int y, const QString& text);
  void MoveTo(int x, int y);
  // Line from the current point to (x, y), end point excluded; (x, y) becomes the current point.
  void LineTo(int x, int y);
  // LineTo through each of the points in turn.
  void PolylineTo(const QPoint* points, int count);
  void SetPixel(int x, int y, TColor color);
  // The colour at (x, y) as drawn so far; 0xFFFFFFFF outside the image.
  TColor Pixel(int x, int y) const;
  QPoint PenPos() const { return penPos_; }

  // Called after each drawing operation (the paint box schedules a repaint).
  std::function<void()> OnChanged;

 private:
  struct FontCache {
    QFont font;
    QFontMetricsF metrics;
    int ascent;
    int cellHeight;
  };
  FontCache& CachedFont();
  // Direct access to the 32-bit pixels for the length of one drawing operation.
  struct Pixels {
    uchar* bits;
    qsizetype bytesPerLine;
    int width;
    int height;
    double scale;  // image pixels per design pixel
    int penWidth;  // image pixels that a one-pixel pen covers
    // The image pixel where the design pixel at `v` begins.
    int ToImage(int v) const;
    // Sets one pixel, clipped to the image.
    void Plot(int x, int y, QRgb rgb) const;
    // Sets the pixels from x1 to x2 (both included) of row y, clipped to the image.
    void Span(int x1, int x2, int y, QRgb rgb) const;
  };
  Pixels Lock();
  void Changed();
  // The pen's line between two design points, `to` excluded.
  static void DrawPenLine(const Pixels& pixels, QPoint from, QPoint to, QRgb pen);
  // The line between two points in image pixels, `to` excluded.
  static void DrawLine(const Pixels& pixels, QPoint from, QPoint to, QRgb pen);
  // The same line, pixels.penWidth pixels wide along its minor axis.
  static void DrawWideLine(const Pixels& pixels, QPoint from, QPoint to, QRgb pen);
  // A design point in image pixels.
  static QPoint ToImage(const Pixels& pixels, QPoint point);

  QImage* image_;
  TColor penColor_ = 0x000000;
  TColor brushColor_ = 0xFFFFFF;
  TColor fontColor_ = 0x000000;
  int fontSize_ = 8;
  QString fontName_ = "MS Sans Serif";
  QPoint penPos_{0, 0};
  std::optional<FontCache> fontCache_;
};

// A paint box: a widget that shows its canvas's image. The image keeps what was drawn, so the
// picture survives being covered by another window. Before anything is drawn it shows
// `background`. The image has the box's size in the screen's device pixels (and that device
// pixel ratio), so the picture is as sharp as the screen; when the box moves to a screen of
// another ratio, the picture is drawn again at the new one (OnDraw) or scaled.
//
// Drawing on the canvas schedules one repaint of the box (update(), so Qt merges it with every
// other change of the window). A picture that is drawn from scratch on every change can instead
// be drawn on demand: Invalidate() records that the picture is out of date, and OnDraw then
// draws it once, when the box is next painted (or grabbed), however many changes came in
// between. Reading the pixels (Image(), Canvas().Pixel) draws nothing.
class TPaintBox : public QWidget {
  Q_OBJECT
 public:
  TPaintBox(int width, int height, TColor background, QWidget* parent = nullptr);
  TCanvas& Canvas() { return canvas_; }
  // The picture as drawn so far.
  const QImage& Image() const { return image_; }

  // Draws the whole picture onto the canvas; run by Invalidate's pending drawing.
  std::function<void(TCanvas&)> OnDraw;
  // The picture is out of date: OnDraw runs before the box is next painted.
  void Invalidate();
  bool DrawPending() const { return drawPending_; }
  // Runs the pending OnDraw now, if there is one (as the next paint would).
  void DrawIfPending();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void CanvasChanged();
  // Gives the image the box's current device pixel ratio, if it has another.
  void FollowDevicePixelRatio();

  QImage image_;
  TColor background_;
  TCanvas canvas_;
  bool drawPending_ = false;
  bool drawing_ = false;
};
