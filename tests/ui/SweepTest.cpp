// The frequency sweep program: step and period boxes, set-up, start, stop and the tick.
#include <gtest/gtest.h>

#include <QLocale>
#include <QTest>
#include <random>

#include "audio/Tone.h"
#include "tests/support/FormFixture.h"
#include "ui/Form1.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/CheckBox.h"
#include "ui/toolkit/Colors.h"
#include "ui/toolkit/Controls.h"
#include "ui/toolkit/Edit.h"
#include "ui/toolkit/RadioGroup.h"
#include "ui/toolkit/ScrollBar.h"
#include "ui/toolkit/Timer.h"

namespace {

class SweepTest : public FormFixture {
 protected:
  void SetUp() override {
    FormFixture::SetUp();
    Application.Title = "Kestrov Lab Vimbra Generator";
    CreateUnlockedForm();
  }
  void Start(int position, int step, bool up, bool reverse) {
    form->CheckBox4->SetChecked(true);
    form->ScrollBar1->SetPosition(position);
    form->Sweep.SweepStep = step;
    (up ? form->RadioButton1 : form->RadioButton2)->SetChecked(true);
    form->CheckBox5->SetChecked(reverse);
    form->SpeedButton4Click(form->SpeedButton4);
  }
  // One tick of the sweep timer; returns the bar's position after it.
  int Tick() {
    form->Timer1Timer(form->Timer1);
    return form->ScrollBar1->Position();
  }
};

TEST(IsDigitsTest, OnlyTheTenAsciiDigits) {
  for (const char* text : {"0", "0007", "99999999999999999999"})
    EXPECT_TRUE(IsDigits(text)) << text;
  for (const char* text : {"", " 1", "1 ", "-5", "+5", "12a", "1,000", "1.5", "\t7",
                           "١٢٣" /* Arabic-Indic digits */, "１２" /* full-width digits */})
    EXPECT_FALSE(IsDigits(QString::fromUtf8(text))) << text;
}

TEST_F(SweepTest, StepBoxTakesDigitsClampsAndRefusesTheRest) {
  const std::pair<const char*, int> accepted[] = {
      {"0", 1}, {"65535", 65535}, {"65536", 65536}, {"70000", 65536}, {"0007", 7}, {"1", 1}};
  for (auto [text, step] : accepted) {
    form->Edit1->SetText(text);
    EXPECT_EQ(form->Sweep.SweepStep, step) << text;
    EXPECT_EQ(form->Edit1->Text(), text);  // the box keeps what was typed
  }
  form->Edit1->SetText("25");
  for (const char* refused : {"12a", "-5", "2 5"}) {
    form->Edit1->SetText(refused);
    EXPECT_EQ(form->Edit1->Text(), "25") << refused;
    EXPECT_EQ(form->Sweep.SweepStep, 25);
  }
  form->Edit1->SetText("");
  EXPECT_EQ(form->Edit1->Text(), "");
  EXPECT_EQ(form->Sweep.SweepStep, 25);
}

TEST_F(SweepTest, PeriodBoxSetsTheTimerAndALetterPutsThePeriodBack) {
  form->Edit1->SetText("40");
  for (auto [text, interval] : {std::pair{"0", 1u}, {"99999", 65536u}, {"250", 250u}}) {
    form->Edit2->SetText(text);
    EXPECT_EQ(form->Timer1->Interval(), interval) << text;
  }
  form->Edit2->SetText("250x");
  EXPECT_EQ(form->Edit2->Text(), "250");
  EXPECT_EQ(form->Edit1->Text(), "40");
  EXPECT_EQ(form->Sweep.SweepStep, 40);
}

TEST_F(SweepTest, DigitsBeyond32BitsAreReportedAndTheBoxKeepsTheText) {
  form->show();
  form->Edit1->setFocus();
  form->Edit1->selectAll();
  QTest::keyClicks(form->Edit1, "2147483648");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].title, "Kestrov Lab Vimbra Generator");
  EXPECT_EQ(boxes[0].text, "'2147483648' is not a valid integer value.");
  EXPECT_EQ(boxes[0].icon, MsgIcon::Error);
  EXPECT_EQ(form->Edit1->Text(), "2147483648");
  EXPECT_EQ(form->Sweep.SweepStep, 65536);  // from "214748364", the last text that converted
}

TEST_F(SweepTest, SpinnerStopsAt999UnderALocaleWithAThousandsSeparator) {
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  for (int i = 0; i < 1000; ++i) form->UpDown2->StepUp();
  EXPECT_EQ(form->Edit2->Text(), "999");
  EXPECT_EQ(form->Timer1->Interval(), 999u);
  // Typed periods above 999 are taken.
  form->Edit2->SetText("5000");
  EXPECT_EQ(form->Timer1->Interval(), 5000u);
}

TEST_F(SweepTest, SpinnerOfTheStepBoxWritesPlainNumbers) {
  form->UpDown1->StepUp();
  EXPECT_EQ(form->Edit1->Text(), "2");
  EXPECT_EQ(form->Sweep.SweepStep, 2);
  for (int i = 0; i < 200; ++i) form->UpDown1->StepUp();
  EXPECT_EQ(form->Edit1->Text(), "100");
}

TEST_F(SweepTest, SetUpBoxEnablesTheProgramAndCannotBeUntickedWhileRunning) {
  form->CheckBox4->SetChecked(true);
  for (QWidget* w : Widgets{form->RadioButton1, form->RadioButton2, form->CheckBox5, form->Label6,
                            form->Label8, form->Label16, form->Label17, form->SpeedButton4})
    EXPECT_TRUE(w->isEnabled());
  EXPECT_EQ(FontColor(form->Edit1), clBlack);
  form->CheckBox4->SetChecked(false);
  EXPECT_FALSE(form->SpeedButton4->isEnabled());
  EXPECT_EQ(FontColor(form->Edit2), clGray);

  form->CheckBox4->SetChecked(true);
  form->SpeedButton4Click(form->SpeedButton4);
  EXPECT_TRUE(form->Timer1->Enabled());
  EXPECT_FALSE(form->SpeedButton4->isEnabled());
  EXPECT_TRUE(form->SpeedButton5->isEnabled());

  form->CheckBox4->SetChecked(false);  // running: ticked again, "Пуск программы" enabled again
  EXPECT_TRUE(form->CheckBox4->Checked());
  EXPECT_TRUE(form->SpeedButton4->isEnabled());
  EXPECT_TRUE(form->SpeedButton5->isEnabled());

  form->SpeedButton5Click(form->SpeedButton5);
  EXPECT_FALSE(form->Timer1->Enabled());
  EXPECT_FALSE(form->SpeedButton5->isEnabled());
}

TEST_F(SweepTest, WorkedExampleTurnsRoundAtTheTop) {
  Start(20500, 1000, true, true);
  EXPECT_EQ(Tick(), 21500);
  EXPECT_EQ(Tick(), 22050);
  EXPECT_EQ(Frequency.load(), 22050);
  EXPECT_EQ(Tick(), 22050);
  EXPECT_EQ(Frequency.load(), 22049);
  EXPECT_EQ(form->fq->Text(), "22050");
  EXPECT_TRUE(form->RadioButton2->Checked());
  EXPECT_FALSE(form->RadioButton1->Checked());
  EXPECT_EQ(Tick(), 21050);
  EXPECT_EQ(Frequency.load(), 21050);
}

TEST_F(SweepTest, LowerEndWithReverseTurnsUpward) {
  Start(1500, 1000, false, true);
  EXPECT_EQ(Tick(), 500);
  EXPECT_EQ(Tick(), 1);
  Tick();
  EXPECT_EQ(Frequency.load(), 2);
  EXPECT_TRUE(form->RadioButton1->Checked());
  EXPECT_EQ(Tick(), 1001);
}

TEST_F(SweepTest, WithoutReverseTheBarRestsAtTheTopUntilFrequencyMovesOff) {
  Start(21900, 100, true, false);
  Tick();
  EXPECT_EQ(Tick(), 22050);
  form->RadioButton2->SetChecked(true);  // the direction alone does not free it
  EXPECT_EQ(Tick(), 22050);
  form->CheckBox5->SetChecked(true);  // now it turns: direction back to upward
  Tick();
  EXPECT_TRUE(form->RadioButton1->Checked());
  EXPECT_EQ(Frequency.load(), 22049);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(Tick(), 22050);  // pushes up against the clamp: no move, no event
    EXPECT_EQ(Frequency.load(), 22049);
  }
}

TEST_F(SweepTest, AStepLargerThanTheRangeGoesFromEndToEnd) {
  form->RadioGroup1->SetItemIndex(3);  // 1 to 160, bar at 120
  Start(120, 1000, true, true);
  std::vector<int> positions;
  for (int i = 0; i < 6; ++i) {
    positions.push_back(Tick());
  }
  EXPECT_EQ(positions, (std::vector<int>{160, 160, 1, 1, 160, 160}));
}

TEST_F(SweepTest, PresetRunningLeavesTheProgramControlsAloneAndBothTimersMoveTheBar) {
  form->CheckBox6->SetChecked(true);
  form->ComboBox1->setCurrentIndex(2);  // "Страх": full spectrum from 10, step 1
  Start(1000, 5, true, false);
  form->SpeedButton6Click(form->SpeedButton6);
  form->CheckBox4->SetChecked(false);
  EXPECT_FALSE(form->CheckBox4->Checked());  // only the tick changed
  EXPECT_TRUE(form->SpeedButton5->isEnabled());
  EXPECT_TRUE(form->Timer1->Enabled());
  const int start = form->ScrollBar1->Position();  // 10, where the preset put it
  form->ZagTimerTimer(form->ZagTimer);
  EXPECT_EQ(Tick(), start + 1 + 5);
}

// Random and adversarial texts: nothing crashes, and the values stay in range.
TEST_F(SweepTest, FuzzedBoxTextsKeepTheValuesInRange) {
  std::mt19937 rng(12345);
  const QString alphabet = QString::fromUtf8("0123456789-+ ,.\t\n٠١٢٣abcЖ\u00a0\u2212");
  std::vector<QString> texts = {QString(5000, '9'), QString(40, '0') + "7",
                                "2147483647",       "2147483648",
                                "4294967296",       "-2147483648",
                                QString(QChar(0)),  QString::fromUtf8("\u0661\u0662")};
  for (int i = 0; i < 2000; ++i) {
    QString text;
    const int length = static_cast<int>(rng() % 14);
    for (int j = 0; j < length; ++j) text += alphabet[static_cast<int>(rng() % alphabet.size())];
    texts.push_back(text);
  }
  for (const QString& text : texts) {
    for (TEdit* box : {form->Edit1, form->Edit2}) {
      RunGuarded([&] { box->SetText(text); });
      ASSERT_GE(form->Sweep.SweepStep, 1);
      ASSERT_LE(form->Sweep.SweepStep, 65536);
      ASSERT_GE(form->Timer1->Interval(), 1u);
      ASSERT_LE(form->Timer1->Interval(), 65536u);
    }
  }
}

}  // namespace
