#include <gtest/gtest.h>

#include <QFontInfo>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "tests/support/Pixels.h"
#include "ui/toolkit/PaintBox.h"

namespace {

// A canvas over a white image the size of the window's preview box.
class CanvasTest : public ::testing::Test {
 protected:
  void SetUp() override {
    image.fill(Qt::white);
    canvas.OnChanged = [this] { ++changes; };
    canvas.SetPenColor(kBrightGreen);
    canvas.SetBrushColor(clBlack);
  }
  QImage image{180, 102, QImage::Format_RGB32};
  TCanvas canvas{&image};
  int changes = 0;
};

TEST_F(CanvasTest, LinesLeaveOutTheirEndPoint) {
  canvas.MoveTo(90, 0);
  canvas.LineTo(90, 100);
  canvas.LineTo(90, 100);  // no length: nothing
  EXPECT_EQ(canvas.Pixel(90, 99), kBrightGreen);
  EXPECT_EQ(canvas.Pixel(90, 100), clWhite);
  EXPECT_EQ(canvas.PenPos(), QPoint(90, 100));
  EXPECT_EQ(PixelsOf(image, kBrightGreen), 100);
  // A steep segment, as the curve's at high frequencies: one pixel per row, the first half in
  // the start column, the second half in the end column.
  canvas.MoveTo(100, 20);
  canvas.LineTo(101, 37);
  EXPECT_EQ(PixelsOf(image, kBrightGreen, QRect(100, 0, 2, 102)), 17);
  EXPECT_EQ(canvas.Pixel(100, 28), kBrightGreen);
  EXPECT_EQ(canvas.Pixel(101, 29), kBrightGreen);
  EXPECT_EQ(changes, 3);
}

// Every line from the centre to each point of a square around it, in all eight directions and
// with every slope, lights exactly the pixels of the rule: one per step along the longer axis,
// end point left out, the other coordinate the exact position rounded to the nearest pixel and
// to the smaller one at an exact half. From the corner, the lines that leave the image are cut
// at its edge.
TEST_F(CanvasTest, EveryLineLightsThePixelsOfTheExactPosition) {
  for (const QPoint from : {QPoint(90, 50), QPoint(2, 3)}) {
    for (int dx = -25; dx <= 25; ++dx) {
      for (int dy = -25; dy <= 25; ++dy) {
        image.fill(Qt::white);
        canvas.MoveTo(from.x(), from.y());
        canvas.LineTo(from.x() + dx, from.y() + dy);
        QImage expected(image.size(), QImage::Format_RGB32);
        expected.fill(Qt::white);
        const int steps = std::max(std::abs(dx), std::abs(dy));
        for (int i = 0; i < steps; ++i) {
          // The position along the minor axis, i * delta / steps, to the nearest pixel; at an exact
          // half the smaller one: a half rounds down in size going forward, up going back.
          auto rounded = [&](int delta) {
            const int twice = 2 * i * std::abs(delta);
            return delta < 0 ? -((twice + steps) / (2 * steps)) : (twice + steps - 1) / (2 * steps);
          };
          const bool xMajor = std::abs(dx) >= std::abs(dy);
          const int x = from.x() + (xMajor ? (dx > 0 ? i : -i) : rounded(dx));
          const int y = from.y() + (xMajor ? rounded(dy) : (dy > 0 ? i : -i));
          if (expected.rect().contains(x, y)) expected.setPixel(x, y, ToQColor(kBrightGreen).rgb());
        }
        ASSERT_EQ(image, expected)
            << "line from (" << from.x() << ", " << from.y() << ") by (" << dx << ", " << dy << ")";
      }
    }
  }
}

TEST_F(CanvasTest, MidwayPointsTakeTheUpperOrLeftPixel) {
  canvas.MoveTo(0, 0);
  canvas.LineTo(2, 1);  // midway between (1, 0) and (1, 1)
  canvas.MoveTo(10, 10);
  canvas.LineTo(11, 12);  // midway between (10, 11) and (11, 11)
  canvas.MoveTo(30, 31);
  canvas.LineTo(29, 29);  // the same, drawn the other way round
  EXPECT_EQ(canvas.Pixel(1, 0), kBrightGreen);
  EXPECT_EQ(canvas.Pixel(1, 1), clWhite);
  EXPECT_EQ(canvas.Pixel(10, 11), kBrightGreen);
  EXPECT_EQ(canvas.Pixel(11, 11), clWhite);
  EXPECT_EQ(canvas.Pixel(29, 30), kBrightGreen);
}

TEST_F(CanvasTest, EverythingIsClippedToTheImage) {
  canvas.MoveTo(-20, -20);
  canvas.LineTo(5, 5);
  canvas.SetPixel(180, 49, kDimGreen);
  canvas.TextOut(170, 95, "Wave");
  EXPECT_EQ(canvas.Pixel(0, 0), kBrightGreen);
  EXPECT_EQ(canvas.Pixel(180, 49), 0xFFFFFFFFu);  // no pixel there
  EXPECT_EQ(canvas.Pixel(179, 101), clBlack);     // the text's ground, cut at the edge
}

TEST_F(CanvasTest, RoundRectFramesTheOutermostPixelsAndFillsTheRest) {
  canvas.MoveTo(0, 50);
  canvas.LineTo(180, 50);  // erased by the frame's interior
  canvas.RoundRect(0, 0, 180, 102, 10, 10);
  // The top, bottom, left and right edges, each lit along its whole straight part.
  for (QRect edge :
       {QRect(5, 0, 170, 1), QRect(5, 101, 170, 1), QRect(0, 5, 1, 92), QRect(179, 5, 1, 92)})
    EXPECT_EQ(PixelsOf(image, kBrightGreen, edge), edge.width() * edge.height())
        << edge.x() << "," << edge.y();
  EXPECT_EQ(PixelsOf(image, clBlack, QRect(1, 5, 178, 92)), 178 * 92);
  // The four corners are rounded alike and leave the very corner pixels alone.
  for (int y = 0; y < 102; ++y)
    for (int x = 0; x < 180; ++x) {
      ASSERT_EQ(canvas.Pixel(x, y), canvas.Pixel(179 - x, y)) << x << "," << y;
      ASSERT_EQ(canvas.Pixel(x, y), canvas.Pixel(x, 101 - y)) << x << "," << y;
    }
  EXPECT_EQ(canvas.Pixel(0, 0), clWhite);
  EXPECT_EQ(canvas.Pixel(1, 1), kBrightGreen);
  // The corner's outline has no gap: each of its pixels touches two others.
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 6; ++x) {
      if (canvas.Pixel(x, y) != kBrightGreen) continue;
      EXPECT_GE(PixelsOf(image, kBrightGreen, QRect(x - 1, y - 1, 3, 3)), 3) << x << "," << y;
    }
  }
}

TEST_F(CanvasTest, TextStandsOnTheBrushColourInTheFontColour) {
  canvas.SetFontColor(kDimGreen);
  EXPECT_EQ(canvas.Font().pixelSize(), 11);  // 8 points at 96 pixels per inch
  EXPECT_EQ(QFontInfo(canvas.Font()).family(), "Liberation Sans");
  canvas.TextOut(93, 2, "Amp");
  // Its cell, from the top left corner, holds only the two colours: no smoothing.
  const QRect cell(93, 2, 20, 13);
  EXPECT_GT(PixelsOf(image, kDimGreen, cell), 10);
  EXPECT_EQ(PixelsOf(image, kDimGreen, cell) + PixelsOf(image, clBlack, cell), 20 * 13);
  EXPECT_EQ(canvas.Pixel(93, 2), clBlack);
  // Nothing beyond the cell: the rows above and below it stay white.
  EXPECT_EQ(PixelsOf(image, clWhite, QRect(93, 1, 20, 15)), 2 * 20);
}

TEST(PaintBoxTest, ShowsTheBackgroundFirstAndKeepsWhatWasDrawn) {
  QWidget window;
  auto* box = new TPaintBox(180, 102, clFormColor, &window);
  box->move(282, 9);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  EXPECT_EQ(box->grab().toImage().pixelColor(90, 50), ToQColor(clFormColor));
  box->Canvas().SetPixel(90, 50, kBrightGreen);
  box->repaint();  // painted again from scratch, as after being covered
  EXPECT_EQ(box->grab().toImage().pixelColor(90, 50), ToQColor(kBrightGreen));
}

// A picture drawn on demand: however many times it is invalidated, it is drawn once, when the
// box is painted or told to draw, and painting shows it. Reading its pixels draws nothing.
TEST(PaintBoxTest, AnInvalidatedPictureIsDrawnOnceWhenPaintedOrToldTo) {
  QWidget window;
  auto* box = new TPaintBox(180, 102, clFormColor, &window);
  int draws = 0;
  TColor colour = clWhite;
  box->OnDraw = [&](TCanvas& canvas) {
    ++draws;
    canvas.SetPixel(90, 50, colour);
  };
  for (TColor c : {kDimGreen, kBrightGreen, clBlack}) {
    colour = c;
    box->Invalidate();
  }
  EXPECT_EQ(draws, 0);
  EXPECT_TRUE(box->DrawPending());
  EXPECT_EQ(box->Canvas().Pixel(90, 50), clFormColor);
  EXPECT_EQ(box->Image().pixelColor(90, 50), ToQColor(clFormColor));
  EXPECT_EQ(draws, 0);
  box->DrawIfPending();
  box->DrawIfPending();
  EXPECT_EQ(box->Canvas().Pixel(90, 50), clBlack);
  EXPECT_EQ(draws, 1);

  colour = kBrightGreen;
  box->Invalidate();
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  EXPECT_TRUE(QTest::qWaitFor([&] { return !box->DrawPending(); }, 10000));
  EXPECT_EQ(draws, 2);
  EXPECT_EQ(box->grab().toImage().pixelColor(90, 50), ToQColor(kBrightGreen));
  EXPECT_EQ(draws, 2);
}

// On the image of a screen with a device pixel ratio above 1, the frame, lines and set pixels are
// drawn at the image's resolution, all along as wide as the ratio rounded, from the design's point.
class CanvasRatioTest : public ::testing::TestWithParam<double> {};

TEST_P(CanvasRatioTest, FrameAndLinesKeepThePensWidthAllAlong) {
  const double ratio = GetParam();
  const auto at = [ratio](int v) { return static_cast<int>(std::floor(v * ratio + 1e-9)); };
  const int pen = std::max(1, static_cast<int>(std::lround(ratio)));
  QImage image(at(180), at(102), QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  image.fill(Qt::white);
  TCanvas canvas(&image);
  canvas.SetPenColor(kBrightGreen);
  canvas.SetBrushColor(clBlack);
  canvas.RoundRect(0, 0, 180, 102, 10, 10);
  canvas.MoveTo(0, 50);
  canvas.LineTo(180, 50);  // crossed by the next
  canvas.MoveTo(90, 0);
  canvas.LineTo(90, 100);
  canvas.SetPixel(20, 20, kDimGreen);

  const auto bright = [&image](QRect area) { return PixelsOf(image, kBrightGreen, area); };
  for (int x = at(10); x < at(170); ++x) {
    if (x >= at(90) - 1 && x <= at(90) + pen) continue;
    for (int y : {0, at(50), image.height() - pen}) {
      EXPECT_EQ(bright(QRect(x, y - at(5), 1, at(10))), pen) << x << "," << y;
      EXPECT_EQ(bright(QRect(x, y, 1, pen)), pen) << x << "," << y;
    }
  }
  for (int y = at(10); y < at(92); ++y) {
    if (y >= at(50) - 1 && y <= at(50) + pen) continue;
    for (int x : {0, at(90)}) {
      EXPECT_EQ(bright(QRect(x - at(5), y, at(10), 1)), pen) << x << "," << y;
      EXPECT_EQ(bright(QRect(x, y, pen, 1)), pen) << x << "," << y;
    }
  }
  EXPECT_EQ(canvas.Pixel(20, 20), kDimGreen);
  EXPECT_EQ(PixelsOf(image, kDimGreen), pen * pen) << "a set pixel is a square as wide as the pen";
}

INSTANTIATE_TEST_SUITE_P(HiDpiScreens, CanvasRatioTest, ::testing::Values(1.25, 1.5, 2.0));

}  // namespace
