#include <gtest/gtest.h>

#include <QPixmap>
#include <QRadioButton>
#include <QTest>
#include <QWidget>
#include <stdexcept>
#include <vector>

#include "tests/ui/toolkit/MessageBoxCapture.h"
#include "ui/toolkit/CheckBox.h"
#include "ui/toolkit/Colors.h"
#include "ui/toolkit/Controls.h"
#include "ui/toolkit/Fonts.h"
#include "ui/toolkit/RadioGroup.h"
#include "ui/toolkit/TrackBar.h"

namespace {

// --- Check box -------------------------------------------------------------------------------

class CheckBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    box.setGeometry(8, 192, 161, 25);
    box.OnClick = [this] { seen.push_back(box.Checked()); };
  }
  TCheckBox box{QString::fromUtf8("Установить программу")};
  std::vector<bool> seen;
};

TEST_F(CheckBoxTest, ProgramSetRunsClickOnlyOnAChange) {
  box.SetChecked(true);
  box.SetChecked(true);
  box.SetChecked(false);
  EXPECT_EQ(seen, (std::vector<bool>{true, false}));
}

TEST_F(CheckBoxTest, UserClickRunsClickWithTheNewTick) {
  box.show();
  QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(6, box.height() / 2));
  QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(6, box.height() / 2));
  EXPECT_EQ(seen, (std::vector<bool>{true, false}));
}

TEST_F(CheckBoxTest, HandlerCanTickTheBoxBackWhileItRuns) {
  // A box that may not be unticked: its handler ticks it again, which runs the handler once more.
  box.SetChecked(true);
  seen.clear();
  box.OnClick = [this] {
    seen.push_back(box.Checked());
    box.SetChecked(true);
  };
  box.show();
  QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(6, box.height() / 2));
  EXPECT_EQ(seen, (std::vector<bool>{false, true}));
  EXPECT_TRUE(box.Checked());
}

TEST_F(CheckBoxTest, ErrorsPropagateFromSetsAndAreReportedFromClicks) {
  box.OnClick = [] { throw std::runtime_error("broken"); };
  MessageBoxCapture capture;
  EXPECT_THROW(box.SetChecked(true), std::runtime_error);
  EXPECT_TRUE(box.Checked());
  EXPECT_TRUE(capture.boxes.empty());
  box.show();
  QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(6, box.height() / 2));
  EXPECT_FALSE(box.Checked());
  ASSERT_EQ(capture.boxes.size(), 1u);
  EXPECT_EQ(capture.boxes[0].text, "broken.");
}

// --- Radio buttons ---------------------------------------------------------------------------

class RadioButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    up->setGeometry(16, 216, 97, 17);
    down->setGeometry(16, 232, 89, 17);
    up->SetChecked(true);
    up->OnClick = [this] { clicks.push_back("up"); };
    down->OnClick = [this] { clicks.push_back("down"); };
    window.show();
  }
  QWidget window;
  TRadioButton* up = new TRadioButton(QString::fromUtf8("Возрастание"), &window);
  TRadioButton* down = new TRadioButton(QString::fromUtf8("Убывание"), &window);
  std::vector<std::string> clicks;
};

TEST_F(RadioButtonTest, CheckingOneUnchecksItsSiblingAndRunsOnlyItsClick) {
  down->SetChecked(true);
  EXPECT_TRUE(down->Checked());
  EXPECT_FALSE(up->Checked());
  down->SetChecked(true);
  EXPECT_EQ(clicks, std::vector<std::string>{"down"});
}

TEST_F(RadioButtonTest, ProgramCanUncheckAndFlipTheDirection) {
  // Turning round: untick the first, then tick the second as the first's opposite.
  up->SetChecked(!up->Checked());
  EXPECT_FALSE(up->Checked());
  EXPECT_FALSE(down->Checked());
  down->SetChecked(!up->Checked());
  EXPECT_TRUE(down->Checked());
  EXPECT_FALSE(up->Checked());
  EXPECT_EQ(clicks, std::vector<std::string>{"down"});
}

TEST_F(RadioButtonTest, UserClickOnTheCheckedButtonRunsNothing) {
  QTest::mouseClick(up, Qt::LeftButton, {}, QPoint(6, up->height() / 2));
  EXPECT_TRUE(clicks.empty());
  QTest::mouseClick(down, Qt::LeftButton, {}, QPoint(6, down->height() / 2));
  EXPECT_EQ(clicks, std::vector<std::string>{"down"});
  EXPECT_FALSE(up->Checked());
}

// --- Radio group -----------------------------------------------------------------------------

class RadioGroupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    group.setFont(DesignFont("MS Sans Serif", 11, true));
    group.setGeometry(128, 5, 145, 108);
    group.SetItemIndex(0);
    group.OnClick = [this] { seen.push_back(group.ItemIndex()); };
    group.show();
  }
  void ClickItem(int index) {
    QRadioButton* button = group.Button(index);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
  }
  TRadioGroup group{QString::fromUtf8("Звуковая зона"),
                    {QString::fromUtf8("Весь спектор "), QString::fromUtf8("Слышимый звук"),
                     QString::fromUtf8("Ультра звук"), QString::fromUtf8("Инфра звук")}};
  std::vector<int> seen;
};

TEST_F(RadioGroupTest, ItemsAreSpacedEvenlyBelowTheCaption) {
  ASSERT_EQ(TextCellHeight(group.font()), 13);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(group.Button(i)->geometry(), QRect(8, 15 + 22 * i, 135, 22)) << "item " << i;
  }
  // A different height spreads the leftover pixels half above the first item.
  group.resize(145, 113);  // 95 below the caption: 23 each, 3 left over
  EXPECT_EQ(group.Button(0)->geometry(), QRect(8, 15, 135, 23));
  EXPECT_EQ(group.Button(3)->geometry().top(), 15 + 3 * 23);
}

TEST_F(RadioGroupTest, SettingTheIndexRunsClickOnlyOnAChange) {
  group.SetItemIndex(3);
  group.SetItemIndex(3);
  group.SetItemIndex(1);
  EXPECT_EQ(seen, (std::vector<int>{3, 1}));
  EXPECT_TRUE(group.Button(1)->isChecked());
  EXPECT_FALSE(group.Button(3)->isChecked());
}

TEST_F(RadioGroupTest, NoSelectionUnchecksEveryItem) {
  group.SetItemIndex(-1);
  EXPECT_EQ(group.ItemIndex(), -1);
  for (int i = 0; i < group.Count(); ++i) EXPECT_FALSE(group.Button(i)->isChecked());
  group.SetItemIndex(7);  // beyond the items: the last one
  EXPECT_EQ(group.ItemIndex(), 3);
  EXPECT_EQ(seen, (std::vector<int>{-1, 3}));
}

TEST_F(RadioGroupTest, UserClickOnAnotherItemRunsClickAndOnTheSelectedOneNothing) {
  ClickItem(2);
  ClickItem(2);
  ClickItem(0);
  EXPECT_EQ(seen, (std::vector<int>{2, 0}));
  EXPECT_EQ(group.ItemIndex(), 0);
}

TEST_F(RadioGroupTest, HandlerErrorFromAClickIsReported) {
  group.OnClick = [] { throw std::runtime_error("zone"); };
  MessageBoxCapture capture;
  ClickItem(1);
  EXPECT_EQ(group.ItemIndex(), 1);
  ASSERT_EQ(capture.boxes.size(), 1u);
  EXPECT_THROW(group.SetItemIndex(2), std::runtime_error);
}

TEST_F(RadioGroupTest, DisabledGroupTakesNoClicksAndGreysItsText) {
  SetFontColor(&group, clGray);
  group.setEnabled(false);
  ClickItem(2);
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(group.ItemIndex(), 0);
  group.setEnabled(true);
  SetFontColor(&group, clBlack);
  EXPECT_EQ(FontColor(&group), clBlack);
  EXPECT_EQ(FontColor(group.Button(0)), clBlack);  // the items follow the group
  EXPECT_NE(group.palette().color(QPalette::Disabled, QPalette::WindowText), ToQColor(clBlack));
}

// --- Track bar -------------------------------------------------------------------------------

class TrackBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bar.setGeometry(488, 48, 121, 17);
    bar.SetRange(11, 31);
    bar.SetPosition(20);
    bar.OnChange = [this] { seen.push_back(bar.Position()); };
  }
  TTrackBar bar;
  std::vector<int> seen;
};

TEST_F(TrackBarTest, EveryProgramChangeOfThePositionRunsChange) {
  bar.SetPosition(25);
  bar.SetPosition(25);
  bar.SetPosition(100);  // clamped to 31
  bar.SetRange(11, 20);  // drags the position to 20
  bar.SetRange(0, 40);   // position unchanged
  EXPECT_EQ(seen, (std::vector<int>{25, 31, 20}));
}

TEST_F(TrackBarTest, UserMovesRunChangeThroughTheErrorReport) {
  bar.show();
  bar.setFocus();
  QTest::keyClick(&bar, Qt::Key_Right);
  QTest::keyClick(&bar, Qt::Key_End);
  EXPECT_EQ(seen, (std::vector<int>{21, 31}));
  bar.OnChange = [] { throw std::runtime_error("track"); };
  MessageBoxCapture capture;
  QTest::keyClick(&bar, Qt::Key_Home);
  EXPECT_EQ(bar.Position(), 11);
  EXPECT_EQ(capture.boxes.size(), 1u);
}

TEST_F(TrackBarTest, NegativeRangesWork) {
  bar.SetRange(-20, 20);
  bar.SetPosition(-20);
  EXPECT_EQ(bar.Position(), -20);
  EXPECT_EQ(seen, std::vector<int>{-20});
}

// --- Speed button ----------------------------------------------------------------------------

TEST(SpeedButtonTest, ClickRunsOnClickAndErrorsAreReported) {
  TSpeedButton button(QString::fromUtf8("Пуск"));
  button.setGeometry(8, 8, 113, 27);
  int clicks = 0;
  button.OnClick = [&] { ++clicks; };
  button.show();
  QTest::mouseClick(&button, Qt::LeftButton);
  EXPECT_EQ(clicks, 1);
  button.setEnabled(false);
  QTest::mouseClick(&button, Qt::LeftButton);
  EXPECT_EQ(clicks, 1);
  button.setEnabled(true);
  button.OnClick = [] { throw std::runtime_error("BASS"); };
  MessageBoxCapture capture;
  QTest::mouseClick(&button, Qt::LeftButton);
  EXPECT_EQ(capture.boxes.size(), 1u);
}

TEST(SpeedButtonTest, GlyphShowsItsOwnImageWhenDisabled) {
  TSpeedButton button("Go");
  QPixmap enabled(16, 16);
  enabled.fill(Qt::green);
  QPixmap disabled(16, 16);
  disabled.fill(Qt::gray);
  button.SetGlyph(enabled, disabled);
  EXPECT_TRUE(button.autoRaise());
  EXPECT_EQ(button.toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
  const QImage shown = button.icon().pixmap(16, 16, QIcon::Disabled).toImage();
  EXPECT_EQ(shown.pixelColor(8, 8), QColor(Qt::gray));
  EXPECT_EQ(button.icon().pixmap(16, 16, QIcon::Normal).toImage().pixelColor(8, 8),
            QColor(Qt::green));
}

// --- Colours ---------------------------------------------------------------------------------

TEST(ColorsTest, ValuesAreBlueGreenRed) {
  EXPECT_EQ(ToQColor(0x00A0FF), QColor(255, 160, 0));
  EXPECT_EQ(ToQColor(clFormColor), QColor(0xE7, 0xE4, 0xE2));
  EXPECT_EQ(FromQColor(QColor(255, 0x6B, 0)), 27647u);
  EXPECT_EQ(FromQColor(ToQColor(0x123456)), 0x123456u);
}

TEST(ColorsTest, FontAndBackgroundColoursAreReadBack) {
  TStaticText text("x");
  SetFontColor(&text, clGray);
  SetColor(&text, 41215);
  EXPECT_EQ(FontColor(&text), clGray);
  EXPECT_EQ(Color(&text), 41215u);
  EXPECT_EQ(text.palette().color(QPalette::Inactive, QPalette::Text), ToQColor(clGray));
  EXPECT_TRUE(text.autoFillBackground());
}

TEST(RichEditTest, TextColourCoversExistingAndFutureText) {
  TRichEdit edit;
  edit.setPlainText(QString::fromUtf8("Внимание!\nВторая строка"));
  edit.SetTextColor(clGray);
  edit.SetBackground(clSilver);
  QTextCursor cursor(edit.document());
  cursor.movePosition(QTextCursor::End);
  cursor.movePosition(QTextCursor::Left);
  EXPECT_EQ(cursor.charFormat().foreground().color(), ToQColor(clGray));
  EXPECT_EQ(edit.textColor(), ToQColor(clGray));
  EXPECT_EQ(edit.palette().color(QPalette::Base), ToQColor(clSilver));
  EXPECT_EQ(edit.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

}  // namespace
