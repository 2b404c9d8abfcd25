// The effects panel: switches, parameter records, refresh, displays and the window's width.
#include <gtest/gtest.h>

#include <QImage>
#include <QLocale>
#include <QTest>
#include <cstring>

#include "audio/Tone.h"
#include "tests/support/FormFixture.h"
#include "ui/EffectsPanel.h"
#include "ui/Form1.h"
#include "ui/toolkit/CheckBox.h"
#include "ui/toolkit/Colors.h"
#include "ui/toolkit/Controls.h"
#include "ui/toolkit/Timer.h"
#include "ui/toolkit/TrackBar.h"

namespace {

using Calls = std::vector<std::string>;
using Bytes = std::vector<uint8_t>;

Bytes FloatBytes(float value) {
  Bytes bytes(4);
  std::memcpy(bytes.data(), &value, 4);
  return bytes;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

class EffectsPanelTest : public FormFixture {
 protected:
  void SetUp() override {
    FormFixture::SetUp();
    EffectRecords = {};
    CreateUnlockedForm();
    audio.calls.clear();
  }
  void TearDown() override {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    FormFixture::TearDown();
  }
};

TEST_F(EffectsPanelTest, RecordsAreLaidOutOneAfterAnotherIn52Bytes) {
  const auto* base = reinterpret_cast<const uint8_t*>(&EffectRecords);
  EXPECT_EQ(reinterpret_cast<const uint8_t*>(&FlangerParams), base);
  EXPECT_EQ(reinterpret_cast<const uint8_t*>(&EchoParams), base + 16);
  EXPECT_EQ(reinterpret_cast<const uint8_t*>(&AutoWahParams), base + 28);
}

TEST_F(EffectsPanelTest, OpenAndCloseSetTheOuterWidthAndSwapTheButtons) {
  TForm1& f = *form;
  f.show();
  f.SpeedButton2Click(f.SpeedButton2);
  EXPECT_EQ(f.frameGeometry().width(), 623);
  EXPECT_FALSE(f.SpeedButton2->isEnabled());
  EXPECT_TRUE(f.SpeedButton3->isEnabled());
  EXPECT_EQ(f.height(), 359);
  f.SpeedButton3Click(f.SpeedButton3);
  EXPECT_EQ(f.frameGeometry().width(), 478);
  EXPECT_TRUE(f.SpeedButton2->isEnabled());
  EXPECT_FALSE(f.SpeedButton3->isEnabled());
}

TEST_F(EffectsPanelTest, TickingAnEffectSetsItAtOnceAndItsRecordGoesOutAtTheNextRefresh) {
  TForm1& f = *form;
  f.CheckBox1->SetChecked(true);
  EXPECT_EQ(audio.calls, (Calls{"DSP_Set(7,9,3)"}));
  EXPECT_EQ(FontColor(f.StaticText2), clBlack);
  EXPECT_TRUE(f.Label10->isEnabled());
  EXPECT_FALSE(f.TrackBar3->isHidden());
  EXPECT_TRUE(audio.records.empty());

  f.Timer2Timer(f.Timer2);
  EXPECT_EQ(audio.calls.back(), "DSP_SetParameters(7,9)");
  ASSERT_EQ(audio.records.size(), 1u);
  EXPECT_EQ(audio.records[0], Concat({FloatBytes(2.0f), Bytes{0x44, 0xAC, 0x00, 0x00},
                                      FloatBytes(1000.0f), FloatBytes(5.0f)}));
}

TEST_F(EffectsPanelTest, RefreshSendsEveryTickedEffectInOrderAlsoWhileStopped) {
  TForm1& f = *form;
  f.CheckBox3->SetChecked(true);
  f.CheckBox2->SetChecked(true);
  audio.calls.clear();
  f.Timer2Timer(f.Timer2);
  f.Timer2Timer(f.Timer2);
  EXPECT_EQ(audio.calls, (Calls{"DSP_SetParameters(7,15)", "DSP_SetParameters(7,12)",
                                "DSP_SetParameters(7,15)", "DSP_SetParameters(7,12)"}));
  EXPECT_EQ(audio.records[0], Concat({FloatBytes(1), FloatBytes(1), FloatBytes(200)}));
  EXPECT_EQ(audio.records[1], Concat({FloatBytes(0.1f), FloatBytes(1), FloatBytes(0), FloatBytes(9),
                                      FloatBytes(9), FloatBytes(1000)}));
}

TEST_F(EffectsPanelTest, TrackBarEdgesReachTheRecordsOnlyAtTheNextRefresh) {
  TForm1& f = *form;
  f.CheckBox1->SetChecked(true);
  f.CheckBox3->SetChecked(true);
  audio.calls.clear();
  f.TrackBar1->SetPosition(11);
  f.TrackBar3->SetPosition(2000);
  f.TrackBar7->SetPosition(-10);
  f.TrackBar8->SetPosition(20);
  EXPECT_TRUE(audio.calls.empty());
  EXPECT_EQ(f.StaticText1->text(), "1.1");
  EXPECT_EQ(f.StaticText3->text(), "2000");
  EXPECT_EQ(f.StaticText7->text(), "-1");
  EXPECT_EQ(f.StaticText8->text(), "2");

  f.Timer2Timer(f.Timer2);
  ASSERT_EQ(audio.records.size(), 2u);
  EXPECT_EQ(audio.records[0],
            Concat({FloatBytes(1.1f), Bytes{0x44, 0xAC, 0, 0}, FloatBytes(2000), FloatBytes(5)}));
  EXPECT_EQ(audio.records[1], Concat({FloatBytes(2.0f), FloatBytes(1), FloatBytes(-1.0f),
                                      FloatBytes(9), FloatBytes(9), FloatBytes(1000)}));
}

TEST_F(EffectsPanelTest, DisplaysUseTheLocaleDecimalSeparator) {
  TForm1& f = *form;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  f.TrackBar1->SetPosition(15);
  EXPECT_EQ(f.StaticText1->text(), "1,5");
  f.TrackBar7->SetPosition(-3);
  EXPECT_EQ(f.StaticText7->text(), "-0,3");
  f.TrackBar4->SetPosition(1000);
  EXPECT_EQ(f.StaticText4->text(), "1000");  // whole values without separators
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  f.TrackBar1->SetPosition(31);
  EXPECT_EQ(f.StaticText1->text(), "3.1");
}

TEST_F(EffectsPanelTest, SettingTheSamePositionLeavesTheDisplayAlone) {
  TForm1& f = *form;
  f.StaticText2->setText("marker");
  f.TrackBar2->SetPosition(5);
  EXPECT_EQ(f.StaticText2->text(), "marker");
}

TEST_F(EffectsPanelTest, CleanRemovesEachTickedEffectTwiceAndResetsThePanel) {
  TForm1& f = *form;
  f.SpeedButton2Click(f.SpeedButton2);
  f.CheckBox1->SetChecked(true);
  f.CheckBox3->SetChecked(true);
  audio.calls.clear();
  f.SpeedButton3Click(f.SpeedButton3);
  EXPECT_EQ(audio.calls,
            (Calls{"DSP_Remove(7,9)", "DSP_Remove(7,9)", "DSP_Remove(7,12)", "DSP_Remove(7,12)"}));
  for (TCheckBox* box : {f.CheckBox1, f.CheckBox2, f.CheckBox3}) EXPECT_FALSE(box->Checked());
  for (QWidget* bar : std::initializer_list<QWidget*>{f.TrackBar1, f.TrackBar3, f.TrackBar7})
    EXPECT_TRUE(bar->isHidden());
  EXPECT_FALSE(f.Label3->isEnabled());
  EXPECT_EQ(FontColor(f.StaticText8), 0x808080u);

  audio.calls.clear();
  f.Timer2Timer(f.Timer2);
  EXPECT_TRUE(audio.calls.empty());
}

TEST_F(EffectsPanelTest, ASwitchHandlerRunTwiceMakesTheCallTwice) {
  TForm1& f = *form;
  f.CheckBox2->SetChecked(true);
  f.CheckBox2Click(f.CheckBox2);
  EXPECT_EQ(audio.calls, (Calls{"DSP_Set(7,15,3)", "DSP_Set(7,15,3)"}));
  EXPECT_FALSE(f.TrackBar4->isHidden());
}

TEST_F(EffectsPanelTest, AFailedStartupSendsHandleZeroAndTheRefreshKeepsGoing) {
  FormFixture::TearDown();
  FormFixture::SetUp();
  audio.streamHandle = 0;
  CreateUnlockedForm();
  audio.calls.clear();
  form->CheckBox2->SetChecked(true);
  form->Timer2Timer(form->Timer2);
  EXPECT_EQ(audio.calls, (Calls{"DSP_Set(0,15,3)", "DSP_SetParameters(0,15)"}));
}

// The window's own Timer2, left to tick in the event loop, hands the ticked effects' records over
// on every tick while the tone is stopped.
TEST_F(EffectsPanelTest, TheRunningRefreshTimerSendsTheTickedRecordsWhileStopped) {
  TForm1& f = *form;
  ASSERT_FALSE(Playing);
  f.CheckBox2->SetChecked(true);
  f.TrackBar4->SetPosition(300);
  audio.calls.clear();
  audio.records.clear();
  EXPECT_TRUE(QTest::qWaitFor([&] { return audio.records.size() >= 3; }, 10000))
      << audio.records.size() << " refreshes";
  for (const std::string& call : audio.calls) EXPECT_EQ(call, "DSP_SetParameters(7,15)");
  for (const Bytes& record : audio.records)
    EXPECT_EQ(record, Concat({FloatBytes(1), FloatBytes(1), FloatBytes(300)}));
}

// What the open panel shows: each track bar's thumb is 15 pixels tall, centred in its 17-pixel
// bar. The thumb's left edge is the first column below the bar's top row that is not the window
// colour (the groove lies lower, around the middle).
TEST_F(EffectsPanelTest, ScreenshotsShowThumbsFifteenPixelsTall) {
  TForm1& f = *form;
  f.show();
  f.SpeedButton2Click(f.SpeedButton2);
  f.CheckBox1->SetChecked(true);
  f.CheckBox2->SetChecked(true);
  f.CheckBox3->SetChecked(true);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  for (TTrackBar* bar : {f.TrackBar1, f.TrackBar2, f.TrackBar3, f.TrackBar4, f.TrackBar5,
                         f.TrackBar6, f.TrackBar7, f.TrackBar8}) {
    SCOPED_TRACE(bar->y());
    ASSERT_TRUE(bar->isVisible());
    const QImage shot = bar->grab().toImage();
    ASSERT_EQ(shot.height(), 17);
    const QRgb window = shot.pixel(0, 0);
    int left = 0;
    while (left < shot.width() && shot.pixel(left, 1) == window) ++left;
    ASSERT_LT(left, shot.width()) << "no thumb";
    std::string column;
    for (int y = 0; y < shot.height(); ++y) column += shot.pixel(left, y) == window ? '.' : '#';
    EXPECT_EQ(column, "." + std::string(15, '#') + ".");
  }
}

}  // namespace
