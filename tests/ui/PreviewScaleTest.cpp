// The waveform preview on a HiDPI screen: this binary runs at device pixel ratio 2
// (QT_SCALE_FACTOR=2, set by ctest). The preview is drawn at the screen's resolution, not
// enlarged from the design's pixels (the canvas's pen widths at each ratio are checked with the
// toolkit; at ratio 1 the other tests check the preview pixel by pixel).
#include <gtest/gtest.h>

#include <utility>

#include "tests/support/FormFixture.h"
#include "ui/Form1.h"
#include "ui/toolkit/PaintBox.h"

namespace {

using PreviewScaleTest = FormFixture;

TEST_F(PreviewScaleTest, LabelsAndCurveAreDrawnAtTheScreensResolution) {
  CreateUnlockedForm();
  const QImage shown = form->PB->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QImage image = form->PB->Image();
  ASSERT_EQ(image.devicePixelRatio(), 2.0) << "runs with QT_SCALE_FACTOR=2";
  ASSERT_EQ(image.size(), QSize(360, 204));
  EXPECT_EQ(shown, image) << "the box shows its picture pixel for pixel";

  // A label enlarged from a bitmap consists of 2x2 blocks of one colour; text rendered at the
  // screen's size does not: count the pixels unlike their block's first. "Amp" is at (93, 2).
  int finer = 0;
  for (int y = 4; y < 30; y += 2)
    for (int x = 186; x < 230; x += 2)
      for (auto [dx, dy] : {std::pair{1, 0}, {0, 1}, {1, 1}})
        finer += image.pixel(x + dx, y + dy) != image.pixel(x, y);
  EXPECT_GT(finer, 10);
  // The default curve through the design's points, worked out by hand (see PreviewTest), each
  // two pixels of the bright green high.
  const QRgb bright = ToQColor(kBrightGreen).rgb();
  for (auto [x, y] : {std::pair{23, 68}, {45, 75}, {67, 68}, {91, 49}, {112, 33}, {135, 25}}) {
    EXPECT_TRUE(image.pixel(2 * x, 2 * y) == bright && image.pixel(2 * x, 2 * y + 1) == bright)
        << "design column " << x;
  }
}

}  // namespace
