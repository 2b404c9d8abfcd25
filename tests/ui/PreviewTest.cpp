// The waveform preview, pixel for pixel, as the window shows it once it has painted.
#include <gtest/gtest.h>

#include <iterator>

#include "audio/Tone.h"
#include "tests/support/FormFixture.h"
#include "ui/Form1.h"
#include "ui/toolkit/PaintBox.h"

namespace {

class PreviewTest : public FormFixture {
 protected:
  // Redraws with these values and lets the window paint; the canvas then holds exactly what
  // the window shows.
  TCanvas& Draw(double frequency, double amplitude) {
    if (!form) CreateUnlockedForm();
    Frequency = frequency;
    Amplitude = amplitude;
    form->Brush();
    PaintWindow();
    EXPECT_EQ(OnScreen(form->PB), form->PB->Image()) << "the window does not show the preview of "
                                                     << frequency << " Hz, amplitude " << amplitude;
    return form->PB->Canvas();
  }
  // The row of the curve's pixel in column x (the only bright pixel in rows 1..100 of that
  // column apart from the frame, for a slowly varying curve).
  int CurveRow(int x) {
    TCanvas& c = form->PB->Canvas();
    for (int y = 6; y <= 95; ++y)  // clear of the frame's rounded corners
      if (c.Pixel(x, y) == kBrightGreen) return y;
    return -1;
  }
};

TEST_F(PreviewTest, DefaultWaveHasOnePeriodWithItsTopAndBottomWhereExpected) {
  TCanvas& c = Draw(1000, 16864);  // its top at (135, 25), its bottom at (45, 75): see below
  EXPECT_EQ(c.Pixel(90, 50), kBrightGreen);
  const int expected[] = {49, 48, 47, 47, 46, 45, 44, 43, 42, 41};
  for (int x = 91; x <= 100; ++x) EXPECT_EQ(CurveRow(x), expected[x - 91]) << "x = " << x;
  // Nothing of the curve above its top or below its bottom.
  for (int x = 1; x < 179; ++x) {
    EXPECT_NE(c.Pixel(x, 24), kBrightGreen) << x;
    EXPECT_NE(c.Pixel(x, 76), kBrightGreen) << x;
  }
}

// The curve's rows, worked out apart from the program: amplitude / 678 * sin(pi * frequency *
// (x - 90) / 90000) pixels up, rounded. At 1000 Hz, amplitude 16864, x = 23 by hand:
// 24.87 * -sin(134 degrees) = -17.89, so row 50 + 18 = 68.
TEST_F(PreviewTest, CurvePassesThroughTheRowsWorkedOutByHandAtTheExtremes) {
  constexpr int kColumns[] = {1, 23, 45, 67, 91, 112, 135, 157, 178};
  const struct {
    double frequency;
    double amplitude;
    int rows[std::size(kColumns)];
  } cases[] = {
      {120, 16864, {59, 57, 55, 52, 50, 48, 45, 43, 41}},
      {120, 32767, {68, 63, 59, 55, 50, 46, 41, 37, 33}},
      {1000, 16864, {51, 68, 75, 68, 49, 33, 25, 32, 48}},
      {1000, 32767, {52, 85, 98, 85, 48, 16, 2, 15, 47}},
      {22050, 16864, {36, 74, 48, 27, 33, 73, 52, 26, 74}},
      {22050, 32767, {22, 97, 46, 6, 16, 95, 54, 3, 97}},
  };
  for (const auto& c : cases) {
    TCanvas& canvas = Draw(c.frequency, c.amplitude);
    for (size_t i = 0; i < std::size(kColumns); ++i)
      EXPECT_EQ(canvas.Pixel(kColumns[i], c.rows[i]), kBrightGreen)
          << c.frequency << " Hz, amplitude " << c.amplitude << ", x = " << kColumns[i];
  }
}

TEST_F(PreviewTest, HighestFrequencyRunsThroughTheJaggedPoints) {
  TCanvas& c = Draw(22050, 16864);
  const int expected[] = {33, 25, 32, 48, 66, 75, 69, 53, 35, 25};
  for (int x = 91; x <= 100; ++x) EXPECT_EQ(c.Pixel(x, expected[x - 91]), kBrightGreen) << x;
}

TEST_F(PreviewTest, LowFrequencyEndsBelowAndAboveTheAxis) {
  Draw(120, 16864);
  EXPECT_EQ(CurveRow(1), 59);
  EXPECT_EQ(CurveRow(178), 41);
}

TEST_F(PreviewTest, FullAmplitudeStaysClearOfTheFrame) {
  TCanvas& c = Draw(1000, 32767);  // its top at (135, 2), its bottom at (45, 98): see above
  EXPECT_EQ(c.Pixel(135, 1), clBlack);
  EXPECT_EQ(c.Pixel(45, 99), clBlack);
}

TEST_F(PreviewTest, FlatCurvesLieOnTheAxisInTheBrighterGreen) {
  for (auto [frequency, amplitude] : {std::pair{1000.0, 0.0}, std::pair{1.0, 32767.0}}) {
    TCanvas& c = Draw(frequency, amplitude);
    for (int x = 1; x <= 178; ++x) ASSERT_EQ(c.Pixel(x, 50), kBrightGreen) << x;
    EXPECT_EQ(c.Pixel(135, 49), clBlack);
  }
}

TEST_F(PreviewTest, FrequencyZeroDrawsFrameLabelsAxesAndTicksOnly) {
  TCanvas& c = Draw(0, 16864);
  EXPECT_EQ(c.Pixel(100, 50), kDimGreen);  // axis, no curve over it
  EXPECT_EQ(c.Pixel(90, 70), kDimGreen);
  EXPECT_EQ(c.Pixel(135, 25), clBlack);
  EXPECT_EQ(c.Pixel(0, 40), kBrightGreen);    // frame
  EXPECT_EQ(c.Pixel(179, 40), kBrightGreen);  // frame's right edge, the last column
  EXPECT_EQ(c.Pixel(90, 101), kBrightGreen);  // the vertical axis stops short of the bottom edge
  EXPECT_EQ(c.Pixel(179, 50), kDimGreen);     // the horizontal axis runs over the frame
  EXPECT_NE(c.Pixel(0, 0), kBrightGreen);     // rounded corner
}

TEST_F(PreviewTest, TicksAndLabels) {
  TCanvas& c = Draw(0, 0);
  for (int i = 0; i <= 10; ++i) {
    EXPECT_EQ(c.Pixel(89, 10 * i), kDimGreen) << i;
    EXPECT_EQ(c.Pixel(91, 10 * i), kDimGreen) << i;
  }
  for (int i = 0; i <= 9; ++i) {
    EXPECT_EQ(c.Pixel(18 * i, 49), kDimGreen) << i;
    EXPECT_EQ(c.Pixel(18 * i, 51), kDimGreen) << i;
  }
  EXPECT_EQ(c.Pixel(88, 10), clBlack);
  // Each label leaves dim-green glyph pixels in its box, on black.
  const QImage& picture = form->PB->Image();
  EXPECT_GT(PixelsOf(picture, kDimGreen, QRect(93, 2, 20, 11)), 10);    // "Amp"
  EXPECT_GT(PixelsOf(picture, kDimGreen, QRect(150, 52, 26, 11)), 10);  // "Wave", below the axis
  EXPECT_GT(PixelsOf(picture, kDimGreen, QRect(82, 52, 7, 9)), 2);      // "o"
}

TEST_F(PreviewTest, ThePictureIsThatOfTheValuesAtTheCallNotAtThePaint) {
  Draw(1000, 16864);
  const QImage shown = form->PB->Image();
  Frequency = 2000;  // written without a redraw, as the sweep's turn-round does
  Amplitude = 32767;
  form->PB->Invalidate();  // the box painted again, for any reason
  PaintWindow();
  EXPECT_EQ(OnScreen(form->PB), shown);
}

TEST_F(PreviewTest, RedrawingWithTheSameValuesGivesTheSamePicture) {
  Draw(22050, 32767);
  const QImage jagged = form->PB->Image();
  Draw(1000, 16864);
  const QImage first = form->PB->Image();
  EXPECT_NE(first, jagged);
  Draw(1000, 16864);
  EXPECT_EQ(form->PB->Image(), first);
}

}  // namespace
