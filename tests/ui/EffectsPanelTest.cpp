// The effects panel: switches, parameter records, refresh, displays and the window's width.
#include <gtest/gtest.h>

#include <QImage>
#include <QLocale>
#include <QTest>
#include <cstring>

#include "audio/Tone.h"
#include "tests/support/FormFixture.h"
#include "ui/EffectRecords.h"
#include "ui/Form1.h"
#include "ui/toolkit/CheckBox.h"
#include "ui/toolkit/Colors.h"
#include "ui/toolkit/Controls.h"
#include "ui/toolkit/Timer.h"
#include "ui/toolkit/TrackBar.h"

namespace {

using Calls = std::vector<std::string>;
using Bytes = std::vector<uint8_t>;

// `values` as 32-bit floats, one after another, as the records hold them.
Bytes Floats(std::initializer_list<float> values) {
  Bytes bytes(4 * values.size());
  std::memcpy(bytes.data(), values.begin(), bytes.size());
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
    CreateUnlockedForm();
    audio.calls.clear();
  }
};

TEST_F(EffectsPanelTest, OpenAndCloseSetTheOuterWidthAndSwapTheButtons) {
  form->show();
  form->SpeedButton2Click(form->SpeedButton2);
  EXPECT_EQ(form->frameGeometry().width(), 623);
  EXPECT_FALSE(form->SpeedButton2->isEnabled());
  EXPECT_TRUE(form->SpeedButton3->isEnabled());
  EXPECT_EQ(form->height(), 359);
  form->SpeedButton3Click(form->SpeedButton3);
  EXPECT_EQ(form->frameGeometry().width(), 478);
  EXPECT_TRUE(form->SpeedButton2->isEnabled());
  EXPECT_FALSE(form->SpeedButton3->isEnabled());
}

TEST_F(EffectsPanelTest, TickingAnEffectSetsItAtOnceAndItsRecordGoesOutAtTheNextRefresh) {
  form->CheckBox1->SetChecked(true);
  EXPECT_EQ(audio.calls, (Calls{"DSP_Set(7,9,3)"}));
  EXPECT_EQ(FontColor(form->StaticText2), clBlack);
  EXPECT_TRUE(form->Label10->isEnabled());
  EXPECT_FALSE(form->TrackBar3->isHidden());
  EXPECT_TRUE(audio.records.empty());

  form->Timer2Timer(form->Timer2);
  EXPECT_EQ(audio.calls.back(), "DSP_SetParameters(7,9)");
  ASSERT_EQ(audio.records.size(), 1u);
  EXPECT_EQ(audio.records[0],
            Concat({Floats({2.0f}), Bytes{0x44, 0xAC, 0x00, 0x00}, Floats({1000.0f, 5.0f})}));
}

TEST_F(EffectsPanelTest, RefreshSendsEveryTickedEffectInOrderAlsoWhileStopped) {
  form->CheckBox3->SetChecked(true);
  form->CheckBox2->SetChecked(true);
  audio.calls.clear();
  form->Timer2Timer(form->Timer2);
  form->Timer2Timer(form->Timer2);
  EXPECT_EQ(audio.calls, (Calls{"DSP_SetParameters(7,15)", "DSP_SetParameters(7,12)",
                                "DSP_SetParameters(7,15)", "DSP_SetParameters(7,12)"}));
  EXPECT_EQ(audio.records[0], Floats({1, 1, 200}));
  EXPECT_EQ(audio.records[1], Floats({0.1f, 1, 0, 9, 9, 1000}));
}

TEST_F(EffectsPanelTest, TrackBarEdgesReachTheRecordsOnlyAtTheNextRefresh) {
  form->CheckBox1->SetChecked(true);
  form->CheckBox3->SetChecked(true);
  audio.calls.clear();
  form->TrackBar1->SetPosition(11);
  form->TrackBar3->SetPosition(2000);
  form->TrackBar7->SetPosition(-10);
  form->TrackBar8->SetPosition(20);
  EXPECT_TRUE(audio.calls.empty());
  EXPECT_EQ((QStringList{form->StaticText1->text(), form->StaticText3->text(),
                         form->StaticText7->text(), form->StaticText8->text()}),
            (QStringList{"1.1", "2000", "-1", "2"}));

  form->Timer2Timer(form->Timer2);
  ASSERT_EQ(audio.records.size(), 2u);
  EXPECT_EQ(audio.records[0], Concat({Floats({1.1f}), Bytes{0x44, 0xAC, 0, 0}, Floats({2000, 5})}));
  EXPECT_EQ(audio.records[1], Floats({2.0f, 1, -1.0f, 9, 9, 1000}));
}

TEST_F(EffectsPanelTest, DisplaysUseTheLocaleDecimalSeparator) {
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  form->TrackBar1->SetPosition(15);
  EXPECT_EQ(form->StaticText1->text(), "1,5");
  form->TrackBar7->SetPosition(-3);
  EXPECT_EQ(form->StaticText7->text(), "-0,3");
  form->TrackBar4->SetPosition(1000);
  EXPECT_EQ(form->StaticText4->text(), "1000");  // whole values without separators
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  form->TrackBar1->SetPosition(31);
  EXPECT_EQ(form->StaticText1->text(), "3.1");
}

TEST_F(EffectsPanelTest, SettingTheSamePositionLeavesTheDisplayAlone) {
  form->StaticText2->setText("marker");
  form->TrackBar2->SetPosition(5);
  EXPECT_EQ(form->StaticText2->text(), "marker");
}

TEST_F(EffectsPanelTest, CleanRemovesEachTickedEffectTwiceAndResetsThePanel) {
  form->SpeedButton2Click(form->SpeedButton2);
  form->CheckBox1->SetChecked(true);
  form->CheckBox3->SetChecked(true);
  audio.calls.clear();
  form->SpeedButton3Click(form->SpeedButton3);
  EXPECT_EQ(audio.calls,
            (Calls{"DSP_Remove(7,9)", "DSP_Remove(7,9)", "DSP_Remove(7,12)", "DSP_Remove(7,12)"}));
  for (TCheckBox* box : {form->CheckBox1, form->CheckBox2, form->CheckBox3})
    EXPECT_FALSE(box->Checked());
  for (QWidget* bar : Widgets{form->TrackBar1, form->TrackBar3, form->TrackBar7})
    EXPECT_TRUE(bar->isHidden());
  EXPECT_FALSE(form->Label3->isEnabled());
  EXPECT_EQ(FontColor(form->StaticText8), 0x808080u);

  audio.calls.clear();
  form->Timer2Timer(form->Timer2);
  EXPECT_TRUE(audio.calls.empty());
}

TEST_F(EffectsPanelTest, ASwitchHandlerRunTwiceMakesTheCallTwice) {
  form->CheckBox2->SetChecked(true);
  form->CheckBox2Click(form->CheckBox2);
  EXPECT_EQ(audio.calls, (Calls{"DSP_Set(7,15,3)", "DSP_Set(7,15,3)"}));
  EXPECT_FALSE(form->TrackBar4->isHidden());
}

TEST_F(EffectsPanelTest, AFailedStartupSendsHandleZeroAndTheRefreshKeepsGoing) {
  FormFixture::TearDown();
  ResetProgramState();
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
  ASSERT_FALSE(Playing);
  form->CheckBox2->SetChecked(true);
  form->TrackBar4->SetPosition(300);
  audio.calls.clear();
  audio.records.clear();
  EXPECT_TRUE(QTest::qWaitFor([&] { return audio.records.size() >= 3; }, 10000))
      << audio.records.size() << " refreshes";
  for (const std::string& call : audio.calls) EXPECT_EQ(call, "DSP_SetParameters(7,15)");
  for (const Bytes& record : audio.records) EXPECT_EQ(record, Floats({1, 1, 300}));
}

// What the open panel shows: each track bar's thumb is 15 pixels tall, centred in its 17-pixel
// bar. The thumb's left edge is the first column below the bar's top row that is not the window
// colour (the groove lies lower, around the middle).
TEST_F(EffectsPanelTest, ScreenshotsShowThumbsFifteenPixelsTall) {
  form->show();
  form->SpeedButton2Click(form->SpeedButton2);
  for (TCheckBox* box : {form->CheckBox1, form->CheckBox2, form->CheckBox3}) box->SetChecked(true);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  for (TTrackBar* bar : {form->TrackBar1, form->TrackBar2, form->TrackBar3, form->TrackBar4,
                         form->TrackBar5, form->TrackBar6, form->TrackBar7, form->TrackBar8}) {
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
