// Frequency, amplitude, the four sound zones and the zone indicator.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QRadioButton>
#include <QTest>

#include "audio/Tone.h"
#include "tests/support/FormFixture.h"
#include "ui/Form1.h"
#include "ui/toolkit/Colors.h"
#include "ui/toolkit/Controls.h"
#include "ui/toolkit/Edit.h"
#include "ui/toolkit/FramePacer.h"
#include "ui/toolkit/PaintBox.h"
#include "ui/toolkit/RadioGroup.h"
#include "ui/toolkit/ScrollBar.h"

namespace {

const QString kDanger = "Зона повышеной психочувствительности";
const QString kSafe = "Зона психической безопасности";

class ZonesTest : public FormFixture {
 protected:
  void SetUp() override {
    FormFixture::SetUp();
    CreateUnlockedForm();
    // Count the frequency bar's change events while still running the real handler.
    form->ScrollBar1->OnChange = [this] {
      changes.push_back(form->ScrollBar1->Position());
      form->ScrollBar1Change(form->ScrollBar1);
      indicatorTexts.push_back(form->StaticText10->text());
    };
  }
  // Brings the window into `zone` the way a user click does, puts the bar at `position` and
  // forgets the change events on the way.
  void EnterZone(int zone, int position) {
    form->RadioGroup1->SetItemIndex(zone);
    form->ScrollBar1->SetPosition(position);
    changes.clear();
    indicatorTexts.clear();
  }
  std::vector<int> changes;
  std::vector<QString> indicatorTexts;  // the indicator's text after each change event
};

TEST_F(ZonesTest, IndicatorColourAndTextAtTheBandEdges) {
  const std::tuple<int, TColor, QString> cases[] = {
      {1, 0x0001FF, kDanger},     {100, 0x0064FF, kDanger},   {120, 0x0078FF, kDanger},
      {160, 0x00A0FF, kDanger},   {161, 0x00A0FF, kSafe},     {16000, 0x00A0FF, kSafe},
      {16001, 0x009FFF, kDanger}, {18000, 0x006BFF, kDanger}, {21955, 0x0002FF, kDanger},
      {21993, 0x0002FF, kDanger}, {22031, 0x0000FF, kDanger}, {22050, 0x0000FF, kDanger},
  };
  for (const auto& [f, colour, text] : cases) {
    form->ScrollBar1->SetPosition(f);
    EXPECT_EQ(Frequency.load(), f);
    EXPECT_EQ(form->fq->Text(), QString::number(f));
    EXPECT_EQ(Color(form->StaticText10), colour) << f;
    EXPECT_EQ(form->StaticText10->text(), text) << f;
  }
}

TEST_F(ZonesTest, FrequencyMovesRedrawThePreview) {
  form->ScrollBar1->SetPosition(2000);
  EXPECT_EQ(DrawnPreview().Canvas().Pixel(112, 25), kBrightGreen);
}

TEST_F(ZonesTest, AmplitudePercentageDropsTheRemainder) {
  const std::pair<int, const char*> cases[] = {{0, "0"},      {327, "0"},    {328, "1"},
                                               {16383, "49"}, {16384, "50"}, {16864, "51"},
                                               {32766, "99"}, {32767, "100"}};
  form->ScrollBar2->SetPosition(100);
  for (auto [position, text] : cases) {
    form->ScrollBar2->SetPosition(position);
    EXPECT_EQ(Amplitude.load(), position);
    EXPECT_EQ(form->amp->Text(), text) << position;
  }
  // Full amplitude at 1000: the preview's top reaches y = 2.
  EXPECT_EQ(DrawnPreview().Canvas().Pixel(135, 2), kBrightGreen);
}

// Every cell of the zone-to-zone table: the position the bar ends at, the change events on the
// way, the band and the caption.
struct ZoneCase {
  int from;
  int start;  // bar position inside the starting zone
  int to;
  std::vector<int> events;
  int min;
  int max;
};

class ZoneTableTest : public ZonesTest, public ::testing::WithParamInterface<ZoneCase> {};

TEST_P(ZoneTableTest, EndsWhereTheTableSays) {
  const ZoneCase& c = GetParam();
  EnterZone(c.from, c.start);
  const double frequencyBefore = Frequency.load();

  // The user's click on the item's indicator.
  QRadioButton* item = form->RadioGroup1->Button(c.to);
  QTest::mouseClick(item, Qt::LeftButton, {}, QPoint(8, item->height() / 2));
  EXPECT_EQ(form->RadioGroup1->ItemIndex(), c.to);

  EXPECT_EQ(changes, c.events);
  EXPECT_EQ(form->ScrollBar1->Min(), c.min);
  EXPECT_EQ(form->ScrollBar1->Max(), c.max);
  EXPECT_EQ(form->Label1->text(), QString("Частота (%1-%2 Гц)").arg(c.min).arg(c.max));
  // What is heard always matches what is shown.
  EXPECT_EQ(Frequency.load(),
            c.events.empty() && c.to == 0 ? frequencyBefore : form->ScrollBar1->Position());
  EXPECT_EQ(form->fq->Text(), QString::number(form->ScrollBar1->Position()));
}

INSTANTIATE_TEST_SUITE_P(
    AllCells, ZoneTableTest,
    ::testing::Values(
        // From the full spectrum (1 to 22050), bar at 5000.
        ZoneCase{0, 5000, 1, {1000}, 160, 16000}, ZoneCase{0, 5000, 2, {18000}, 16000, 22050},
        ZoneCase{0, 5000, 3, {120}, 1, 160},
        // From audible (160 to 16000).
        ZoneCase{1, 5000, 0, {}, 1, 22050}, ZoneCase{1, 5000, 2, {18000}, 16000, 22050},
        ZoneCase{1, 5000, 3, {160}, 1, 160}, ZoneCase{1, 160, 3, {}, 1, 160},
        // From ultrasound (16000 to 22050): to infrasound with a first stop at 16000.
        ZoneCase{2, 20000, 0, {}, 1, 22050}, ZoneCase{2, 20000, 1, {16000}, 160, 16000},
        ZoneCase{2, 16000, 1, {}, 160, 16000}, ZoneCase{2, 20000, 3, {16000, 160}, 1, 160},
        ZoneCase{2, 16000, 3, {160}, 1, 160},
        // From infrasound (1 to 160).
        ZoneCase{3, 50, 0, {}, 1, 22050}, ZoneCase{3, 50, 1, {160}, 160, 16000},
        ZoneCase{3, 160, 1, {}, 160, 16000}, ZoneCase{3, 50, 2, {18000}, 16000, 22050}));

TEST_F(ZonesTest, FullSpectrumChangesOnlyBandAndCaption) {
  EnterZone(3, 50);
  const QImage picture = DrawnPreview().Image();
  const TColor colour = Color(form->StaticText10);
  form->RadioGroup1->SetItemIndex(0);
  EXPECT_TRUE(changes.empty());
  EXPECT_EQ(DrawnPreview().Image(), picture);
  EXPECT_EQ(Color(form->StaticText10), colour);
  EXPECT_EQ(Frequency.load(), 50);
  EXPECT_EQ(form->Label1->text(), "Частота (1-22050 Гц)");
}

TEST_F(ZonesTest, UltrasoundToInfrasoundPassesTheSafeBandAndEndsAt160) {
  EnterZone(2, 20000);
  form->RadioGroup1->SetItemIndex(3);
  EXPECT_EQ(indicatorTexts, (std::vector<QString>{kSafe, kDanger}));
  EXPECT_EQ(Color(form->StaticText10), 41215u);
  EXPECT_EQ(Frequency.load(), 160);
  EXPECT_EQ(form->Label1->text(), "Частота (1-160 Гц)");
}

TEST_F(ZonesTest, TheSelectedZoneAgainDoesNothingButTheDirectCallMovesToTheNominal) {
  EnterZone(3, 50);
  form->RadioGroup1->SetItemIndex(1);
  EXPECT_EQ(form->ScrollBar1->Position(), 160);
  changes.clear();
  form->Label1->setText("marker");

  form->RadioGroup1->SetItemIndex(1);  // already selected: nothing at all
  EXPECT_TRUE(changes.empty());
  EXPECT_EQ(form->Label1->text(), "marker");

  form->RadioGroup1Click(form->RadioGroup1);  // the presets' direct call
  EXPECT_EQ(changes, std::vector<int>{1000});
  EXPECT_EQ(Frequency.load(), 1000);
  EXPECT_EQ(form->Label1->text(), "Частота (160-16000 Гц)");
}

TEST_F(ZonesTest, NoZoneSelectedLeavesTheBarAndRewritesTheCaption) {
  form->RadioGroup1->SetItemIndex(-1);
  EXPECT_TRUE(changes.empty());
  EXPECT_EQ(form->ScrollBar1->Position(), 1000);
  EXPECT_EQ(form->Label1->text(), "Частота (1-22050 Гц)");
}

class ZonesPaintingTest : public ZonesTest {};

TEST_F(ZonesPaintingTest, TheIndicatorShowsItsColourOnceTheWindowHasPainted) {
  for (int f : {100, 5000, 22050}) {
    form->ScrollBar1->SetPosition(f);
    PaintWindow();
    const QImage shown = OnScreen(form->StaticText10);
    // The box's ground, inside its sunken frame, is the indicator colour.
    EXPECT_GT(PixelsOf(shown, Color(form->StaticText10)), shown.width() * shown.height() / 2)
        << f << " Hz";
    EXPECT_EQ(shown.pixelColor(2, shown.height() - 3), ToQColor(Color(form->StaticText10)))
        << f << " Hz";
  }
}

// Changes that come faster than the screen's frames are painted together: the values follow
// every change at once, and the window, once painted, shows the last of them.
TEST_F(ZonesPaintingTest, ManyChangesWithinOneFrameLeaveTheWindowShowingTheLast) {
  form->ScrollBar1->SetPosition(1000);
  PaintWindow();
  const QImage previewBefore = OnScreen(form->PB);
  const QImage frequencyBoxBefore = OnScreen(form->fq);
  // Hold the next paint, so that every change below falls within one frame.
  form->FramePacer->SetFrameInterval(3600 * 1000);
  for (int f = 1001; f <= 1400; ++f) {
    form->ScrollBar1->SetPosition(f);
    form->ScrollBar2->SetPosition(32767 - f);
    QCoreApplication::processEvents();  // the event loop runs between the changes, as it does
    ASSERT_EQ(Frequency.load(), f);
    ASSERT_EQ(form->fq->Text(), QString::number(f));
    ASSERT_EQ(Amplitude.load(), 32767 - f);
  }
  form->ScrollBar1->SetPosition(16500);  // and last into the upper danger band
  EXPECT_EQ(Color(form->StaticText10), 0x0092FFu);
  EXPECT_EQ(form->StaticText10->text(), kDanger);
  EXPECT_TRUE(form->FramePacer->Pending());
  EXPECT_EQ(OnScreen(form->PB), previewBefore) << "painted within the frame";
  EXPECT_EQ(OnScreen(form->fq), frequencyBoxBefore) << "painted within the frame";

  form->FramePacer->SetFrameInterval(16);
  PaintWindow();
  // The preview of 16500 Hz at amplitude 31367, drawn once: from x = 91 its rows are
  // 50 - round(46.26 * sin(0.576 * (x - 90))), worked out by hand.
  const QImage preview = OnScreen(form->PB);
  EXPECT_EQ(preview, form->PB->Image());
  const int rows[] = {25, 8, 4, 16, 38, 64, 86, 96, 91, 73};
  for (int x = 91; x <= 100; ++x)
    EXPECT_EQ(preview.pixelColor(x, rows[x - 91]), ToQColor(kBrightGreen)) << "x = " << x;
  // The value box, the bar and the indicator as they are now drawn.
  for (QWidget* w :
       Widgets{form->fq, form->amp, form->ScrollBar1, form->ScrollBar2, form->StaticText10})
    EXPECT_EQ(OnScreen(w), w->grab().toImage().convertToFormat(QImage::Format_RGB32))
        << w->metaObject()->className() << " at " << w->x() << ", " << w->y();
  EXPECT_GT(PixelsOf(OnScreen(form->StaticText10), 0x0092FF), 500);
}

}  // namespace
