#include <gtest/gtest.h>

#include <QFontInfo>
#include <QTest>
#include <set>

#include "ui/toolkit/PaintBox.h"

namespace {

constexpr TColor kGreen192 = 0x00C000;
constexpr TColor kGreen128 = 0x008000;
constexpr TColor kWhite = 0xFFFFFF;

// A canvas over a white image the size of the window's preview box.
class CanvasTest : public ::testing::Test {
 protected:
  void SetUp() override {
    image.fill(Qt::white);
    canvas.OnChanged = [this] { ++changes; };
    canvas.SetPenColor(kGreen192);
    canvas.SetBrushColor(clBlack);
  }
  // Pixels of one colour within a rectangle.
  std::set<std::pair<int, int>> PixelsOf(TColor color, QRect area) const {
    std::set<std::pair<int, int>> found;
    for (int y = area.top(); y <= area.bottom(); ++y)
      for (int x = area.left(); x <= area.right(); ++x)
        if (canvas.Pixel(x, y) == color) found.insert({x, y});
    return found;
  }
  QImage image{180, 102, QImage::Format_RGB32};
  TCanvas canvas{&image};
  int changes = 0;
};

TEST_F(CanvasTest, LineLeavesOutItsEndPoint) {
  canvas.MoveTo(90, 0);
  canvas.LineTo(90, 100);
  EXPECT_EQ(canvas.Pixel(90, 0), kGreen192);
  EXPECT_EQ(canvas.Pixel(90, 99), kGreen192);
  EXPECT_EQ(canvas.Pixel(90, 100), kWhite);
  EXPECT_EQ(canvas.PenPos(), QPoint(90, 100));
  // A line of no length draws nothing.
  canvas.LineTo(90, 100);
  EXPECT_EQ(canvas.Pixel(90, 100), kWhite);
  EXPECT_EQ(PixelsOf(kGreen192, image.rect()).size(), 100u);
}

TEST_F(CanvasTest, LineHasOnePixelPerStepOfItsLongerSide) {
  canvas.MoveTo(10, 10);
  canvas.LineTo(20, 14);  // shallow: one pixel per column
  const auto shallow = PixelsOf(kGreen192, image.rect());
  EXPECT_EQ(shallow.size(), 10u);
  for (int x = 10; x < 20; ++x) {
    int inColumn = 0;
    for (int y = 0; y < 102; ++y) inColumn += canvas.Pixel(x, y) == kGreen192;
    EXPECT_EQ(inColumn, 1) << x;
  }
  EXPECT_EQ(canvas.Pixel(12, 11), kGreen192);  // exact y 10.8 rounds to 11
  image.fill(Qt::white);
  canvas.MoveTo(100, 20);
  canvas.LineTo(101, 37);  // steep, as the curve's segments at high frequencies
  const auto steep = PixelsOf(kGreen192, image.rect());
  EXPECT_EQ(steep.size(), 17u);
  EXPECT_EQ(canvas.Pixel(100, 28), kGreen192);  // the first half stays in the start column
  EXPECT_EQ(canvas.Pixel(101, 29), kGreen192);  // the second half in the end column
  EXPECT_EQ(canvas.Pixel(101, 37), kWhite);
}

TEST_F(CanvasTest, MidwayPointsTakeTheUpperOrLeftPixel) {
  canvas.MoveTo(0, 0);
  canvas.LineTo(2, 1);  // passes midway between (1, 0) and (1, 1)
  EXPECT_EQ(canvas.Pixel(1, 0), kGreen192);
  EXPECT_EQ(canvas.Pixel(1, 1), kWhite);
  canvas.MoveTo(10, 10);
  canvas.LineTo(11, 12);  // passes midway between (10, 11) and (11, 11)
  EXPECT_EQ(canvas.Pixel(10, 11), kGreen192);
  EXPECT_EQ(canvas.Pixel(11, 11), kWhite);
  canvas.MoveTo(30, 31);
  canvas.LineTo(29, 29);  // the same line drawn the other way round
  EXPECT_EQ(canvas.Pixel(29, 30), kGreen192);
}

TEST_F(CanvasTest, EverythingIsClippedToTheImage) {
  canvas.MoveTo(0, 50);
  canvas.LineTo(180, 50);  // the last pixel would lie outside anyway
  canvas.MoveTo(-20, -20);
  canvas.LineTo(5, 5);
  canvas.SetPixel(180, 49, kGreen128);
  canvas.SetPixel(-1, 0, kGreen128);
  canvas.TextOut(170, 95, "Wave");
  EXPECT_EQ(canvas.Pixel(179, 50), kGreen192);
  EXPECT_EQ(canvas.Pixel(0, 0), kGreen192);
  EXPECT_EQ(canvas.Pixel(4, 4), kGreen192);
  EXPECT_EQ(canvas.Pixel(180, 49), 0xFFFFFFFFu);  // no pixel there
  EXPECT_EQ(PixelsOf(kGreen128, image.rect()).size(), 0u);
}

TEST_F(CanvasTest, RoundRectFramesTheOutermostPixels) {
  canvas.RoundRect(0, 0, 180, 102, 10, 10);
  // Straight edges on the outermost rows and columns, interior in the brush colour.
  for (int x = 5; x <= 174; ++x) {
    EXPECT_EQ(canvas.Pixel(x, 0), kGreen192) << x;
    EXPECT_EQ(canvas.Pixel(x, 101), kGreen192) << x;
    EXPECT_EQ(canvas.Pixel(x, 1), clBlack) << x;
    EXPECT_EQ(canvas.Pixel(x, 100), clBlack) << x;
  }
  for (int y = 5; y <= 96; ++y) {
    EXPECT_EQ(canvas.Pixel(0, y), kGreen192) << y;
    EXPECT_EQ(canvas.Pixel(179, y), kGreen192) << y;
    EXPECT_EQ(canvas.Pixel(1, y), clBlack) << y;
  }
  EXPECT_EQ(canvas.Pixel(90, 50), clBlack);
  // Rounded corners leave the very corners untouched, the same in all four.
  for (const QPoint corner : {QPoint(0, 0), QPoint(179, 0), QPoint(0, 101), QPoint(179, 101)})
    EXPECT_EQ(canvas.Pixel(corner.x(), corner.y()), kWhite);
  for (int y = 0; y < 102; ++y)
    for (int x = 0; x < 180; ++x) {
      const TColor here = canvas.Pixel(x, y);
      EXPECT_EQ(here, canvas.Pixel(179 - x, y)) << x << "," << y;
      EXPECT_EQ(here, canvas.Pixel(x, 101 - y)) << x << "," << y;
    }
  // The corner's outline is unbroken: every frame pixel of the top-left corner touches another
  // on the way from the top edge to the left edge.
  const auto frame = PixelsOf(kGreen192, QRect(0, 0, 6, 6));
  for (const auto& [x, y] : frame) {
    int neighbours = 0;
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        neighbours += (dx || dy) && canvas.Pixel(x + dx, y + dy) == kGreen192;
    EXPECT_GE(neighbours, 2) << x << "," << y;
  }
  EXPECT_EQ(changes, 1);
}

TEST_F(CanvasTest, RoundRectRepaintsEverythingInside) {
  canvas.MoveTo(0, 50);
  canvas.LineTo(180, 50);
  canvas.RoundRect(0, 0, 180, 102, 10, 10);
  EXPECT_EQ(canvas.Pixel(90, 50), clBlack);
  EXPECT_EQ(canvas.Pixel(0, 50), kGreen192);
}

TEST_F(CanvasTest, TextStandsOnTheBrushColourInTheFontColour) {
  canvas.SetFontName("MS Sans Serif");
  canvas.SetFontSize(8);
  canvas.SetFontColor(kGreen128);
  EXPECT_EQ(canvas.Font().pixelSize(), 11);
  EXPECT_EQ(QFontInfo(canvas.Font()).family(), "Liberation Sans");
  canvas.TextOut(93, 2, "Amp");
  // Its cell, from the top left corner, holds only the two colours: no smoothing.
  const QRect cell(93, 2, 20, 13);
  const auto ink = PixelsOf(kGreen128, cell);
  const auto ground = PixelsOf(clBlack, cell);
  EXPECT_GT(ink.size(), 10u);
  EXPECT_EQ(ink.size() + ground.size(), static_cast<size_t>(cell.width() * cell.height()));
  EXPECT_EQ(canvas.Pixel(93, 2), clBlack);
  // Nothing above, left of or far right of the cell.
  EXPECT_EQ(canvas.Pixel(93, 1), kWhite);
  EXPECT_EQ(canvas.Pixel(92, 5), kWhite);
  EXPECT_EQ(canvas.Pixel(130, 5), kWhite);
  EXPECT_EQ(canvas.Pixel(93, 15), kWhite);
  EXPECT_EQ(changes, 1);
}

TEST_F(CanvasTest, EveryDrawingOperationReportsAChange) {
  canvas.MoveTo(1, 1);
  EXPECT_EQ(changes, 0);
  canvas.LineTo(5, 1);
  canvas.SetPixel(1, 1, kGreen128);
  canvas.RoundRect(0, 0, 10, 10, 4, 4);
  canvas.TextOut(0, 0, "o");
  canvas.Refresh();
  EXPECT_EQ(changes, 4);
}

TEST(PaintBoxTest, ShowsTheBackgroundFirstAndKeepsWhatWasDrawn) {
  QWidget window;
  TPaintBox* box = new TPaintBox(180, 102, clFormColor, &window);
  box->move(282, 9);
  window.resize(471, 359);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  EXPECT_EQ(box->size(), QSize(180, 102));
  EXPECT_EQ(box->grab().toImage().pixelColor(90, 50), ToQColor(clFormColor));
  box->Canvas().SetPixel(90, 50, kGreen192);
  EXPECT_EQ(box->Image().pixelColor(90, 50), ToQColor(kGreen192));
  // Painted again from scratch (as after being covered), the box still shows the picture.
  box->repaint();
  const QImage shown = box->grab().toImage();
  EXPECT_EQ(shown.pixelColor(90, 50), ToQColor(kGreen192));
  EXPECT_EQ(shown.pixelColor(91, 50), ToQColor(clFormColor));
}

}  // namespace
