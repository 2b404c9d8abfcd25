#include <array>
#include <cmath>
#include <numbers>

#include "audio/Tone.h"
#include "ui/Form1.h"
#include "ui/toolkit/Colors.h"
#include "ui/toolkit/Controls.h"
#include "ui/toolkit/PaintBox.h"

namespace {
constexpr TColor kBright = 0x00C000;  // frame and curve
constexpr TColor kDim = clGreen;      // axes, ticks and labels
}  // namespace

// The box in its frame; it shows the window's colour until the first drawing.
void TForm1::CreatePreview() {
  Bevel1 = Place(new TBevel(TBevel::Shape::LoweredBox, this), 280, 9, 185, 103, Sans());
  PB = Place(new TPaintBox(180, 102, clFormColor, this), 282, 9, 180, 102, Sans());
}

// Redraws the waveform preview with the current Frequency and Amplitude. The values are taken
// now; the pixels are drawn when the box is next painted, so that many changes within
// one frame of the screen cost one drawing, and the picture is always that of the latest call.
void TForm1::Brush() {
  previewFrequency_ = Frequency.load(std::memory_order_relaxed);
  previewAmplitude_ = Amplitude.load(std::memory_order_relaxed);
  PB->Invalidate();
}

// The preview from scratch, with the values Brush took: frame, labels, axes, ticks and the
// curve, frequency / 1000 periods across the 180-pixel width.
void TForm1::DrawPreview(TCanvas& c) const {
  c.SetPenColor(kBright);
  c.RoundRect(0, 0, 180, 102, 10, 10);  // its black interior wipes out the previous picture

  c.SetPenColor(kDim);
  c.TextOut(93, 2, QStringLiteral("Amp"));
  c.TextOut(82, 49, QStringLiteral("o"));
  c.TextOut(149, 50, QStringLiteral("Wave"));

  c.MoveTo(90, 0);
  c.LineTo(90, 100);
  c.MoveTo(0, 50);
  c.LineTo(180, 50);

  for (int i = 0; i <= 10; ++i) {
    c.SetPixel(89, 10 * i, kDim);
    c.SetPixel(91, 10 * i, kDim);
  }
  for (int i = 0; i <= 10; ++i) {
    c.SetPixel(18 * i, 49, kDim);
    c.SetPixel(18 * i, 51, kDim);
  }

  c.SetPenColor(kBright);
  c.MoveTo(90, 50);
  // A frequency of exactly 0 would divide by zero: the curve is left out.
  if (previewFrequency_ != 0) {
    auto y = [f = previewFrequency_, a = previewAmplitude_](int x) {
      return 50 - static_cast<int>(std::nearbyint(
                      std::sin((x - 90) * std::numbers::pi / (90 / (f / 1000))) * (a / 678)));
    };
    // From the centre to the right edge, then from the centre to the left edge.
    std::array<QPoint, 91> points;
    for (int x = 91; x <= 180; ++x) points[static_cast<size_t>(x - 91)] = QPoint(x, y(x));
    c.PolylineTo(points.data(), 90);
    c.MoveTo(90, 50);
    for (int x = 90; x >= 0; --x) points[static_cast<size_t>(90 - x)] = QPoint(x, y(x));
    c.PolylineTo(points.data(), 91);
  }
}
