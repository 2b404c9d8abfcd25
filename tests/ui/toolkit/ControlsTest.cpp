#include <gtest/gtest.h>

#include <QPixmap>
#include <QTest>
#include <stdexcept>
#include <vector>

#include "tests/support/MessageBoxCapture.h"
#include "ui/toolkit/CheckBox.h"
#include "ui/toolkit/Colors.h"
#include "ui/toolkit/Controls.h"
#include "ui/toolkit/Fonts.h"
#include "ui/toolkit/RadioGroup.h"
#include "ui/toolkit/TrackBar.h"

namespace {

void ClickButton(QAbstractButton* button) {
  QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

TEST(CheckBoxTest, ClickRunsOnEveryChangeOfTheTick) {
  TCheckBox box(QString::fromUtf8("Установить программу"));
  box.setGeometry(8, 192, 161, 25);
  box.show();
  std::vector<bool> seen;
  box.OnClick = [&] { seen.push_back(box.Checked()); };
  box.SetChecked(true);
  box.SetChecked(true);
  ClickButton(&box);
  EXPECT_EQ(seen, (std::vector<bool>{true, false}));
  // A box that may not be unticked: its handler ticks it again, which runs the handler again.
  seen.clear();
  box.OnClick = [&] {
    seen.push_back(box.Checked());
    box.SetChecked(true);
  };
  ClickButton(&box);
  ClickButton(&box);
  EXPECT_EQ(seen, (std::vector<bool>{true, false, true}));
  EXPECT_TRUE(box.Checked());
}

TEST(CheckBoxTest, ErrorsPropagateFromSetsAndAreReportedFromClicks) {
  TCheckBox box("Echo");
  box.show();
  box.OnClick = [] { throw std::runtime_error("broken"); };
  MessageBoxCapture capture;
  EXPECT_THROW(box.SetChecked(true), std::runtime_error);
  EXPECT_TRUE(capture.boxes.empty());
  ClickButton(&box);
  EXPECT_FALSE(box.Checked());
  ASSERT_EQ(capture.boxes.size(), 1u);
  EXPECT_EQ(capture.boxes[0].text, "broken.");
}

TEST(RadioButtonTest, SiblingsExcludeEachOtherAndTheProgramCanFlipThem) {
  QWidget window;
  auto* up = new TRadioButton(QString::fromUtf8("Возрастание"), &window);
  auto* down = new TRadioButton(QString::fromUtf8("Убывание"), &window);
  up->setGeometry(16, 216, 97, 17);
  down->setGeometry(16, 232, 89, 17);
  up->SetChecked(true);
  window.show();
  std::vector<std::string> clicks;
  up->OnClick = [&] { clicks.push_back("up"); };
  down->OnClick = [&] { clicks.push_back("down"); };
  ClickButton(up);  // already checked: nothing
  ClickButton(down);
  EXPECT_FALSE(up->Checked());
  up->SetChecked(true);
  // Turning round: untick the first, then tick the second as the first's opposite.
  up->SetChecked(!up->Checked());
  EXPECT_FALSE(up->Checked() || down->Checked());
  down->SetChecked(!up->Checked());
  EXPECT_TRUE(down->Checked());
  EXPECT_EQ(clicks, (std::vector<std::string>{"down", "up", "down"}));
}

class RadioGroupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    group.setFont(DesignFont("MS Sans Serif", 11, true));
    group.setGeometry(128, 5, 145, 108);
    group.SetItemIndex(0);
    group.OnClick = [this] { seen.push_back(group.ItemIndex()); };
    group.show();
  }
  TRadioGroup group{QString::fromUtf8("Звуковая зона"),
                    {QString::fromUtf8("Весь спектор "), QString::fromUtf8("Слышимый звук"),
                     QString::fromUtf8("Ультра звук"), QString::fromUtf8("Инфра звук")}};
  std::vector<int> seen;
};

TEST_F(RadioGroupTest, ItemsAreSpacedEvenlyBelowTheCaption) {
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(group.Button(i)->geometry(), QRect(8, 15 + 22 * i, 135, 22)) << "item " << i;
  group.resize(145, 113);  // 95 pixels below the caption: 23 each, 3 left over
  EXPECT_EQ(group.Button(0)->geometry(), QRect(8, 15, 135, 23));
}

TEST_F(RadioGroupTest, ClickRunsWhenTheSelectionChanges) {
  group.SetItemIndex(3);
  group.SetItemIndex(3);
  ClickButton(group.Button(1));
  ClickButton(group.Button(1));  // the selected item: nothing
  group.SetItemIndex(-1);
  EXPECT_EQ(seen, (std::vector<int>{3, 1, -1}));
  for (int i = 0; i < group.Count(); ++i) EXPECT_FALSE(group.Button(i)->isChecked());
  group.OnClick = [] { throw std::runtime_error("zone"); };
  MessageBoxCapture capture;
  ClickButton(group.Button(2));
  EXPECT_EQ(group.ItemIndex(), 2);
  EXPECT_EQ(capture.boxes.size(), 1u);
  EXPECT_THROW(group.SetItemIndex(0), std::runtime_error);
}

TEST_F(RadioGroupTest, DisabledGroupTakesNoClicksAndKeepsGreyText) {
  SetFontColor(&group, clBlack);
  group.setEnabled(false);
  ClickButton(group.Button(2));
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(FontColor(group.Button(0)), clBlack);  // the items follow the group
  EXPECT_NE(group.palette().color(QPalette::Disabled, QPalette::WindowText), ToQColor(clBlack));
}

TEST(TrackBarTest, EveryChangeOfThePositionRunsChange) {
  TTrackBar bar;
  bar.setGeometry(488, 48, 121, 17);
  bar.SetRange(11, 31);
  bar.SetPosition(20);
  std::vector<int> seen;
  bar.OnChange = [&] { seen.push_back(bar.Position()); };
  bar.SetPosition(20);
  bar.SetPosition(100);  // clamped to 31
  bar.SetRange(11, 20);  // drags the position to 20
  bar.show();
  bar.setFocus();
  QTest::keyClick(&bar, Qt::Key_Home);
  EXPECT_EQ(seen, (std::vector<int>{31, 20, 11}));
}

TEST(SpeedButtonTest, ClickRunsOnClickThroughTheErrorReport) {
  TSpeedButton button(QString::fromUtf8("Пуск"));
  button.setGeometry(8, 8, 113, 27);
  button.show();
  int clicks = 0;
  button.OnClick = [&] {
    ++clicks;
    throw std::runtime_error("BASS");
  };
  MessageBoxCapture capture;
  QTest::mouseClick(&button, Qt::LeftButton);
  button.setEnabled(false);
  QTest::mouseClick(&button, Qt::LeftButton);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(capture.boxes.size(), 1u);
  // The glyph has its own image for the disabled state.
  QPixmap enabled(16, 16), disabled(16, 16);
  enabled.fill(Qt::green);
  disabled.fill(Qt::gray);
  button.SetGlyph(enabled, disabled);
  EXPECT_EQ(button.icon().pixmap(16, QIcon::Disabled).toImage().pixelColor(8, 8), QColor(Qt::gray));
}

TEST(ColorsTest, ValuesAreBlueGreenRedAndReadBack) {
  EXPECT_EQ(ToQColor(0x00A0FF), QColor(255, 160, 0));
  EXPECT_EQ(FromQColor(QColor(255, 0x6B, 0)), 27647u);
  TStaticText text("x");
  SetFontColor(&text, clGray);
  SetColor(&text, 41215);
  EXPECT_EQ(FontColor(&text), clGray);
  EXPECT_EQ(Color(&text), 41215u);
}

TEST(BevelTest, LoweredShapesAreShadowAboveLeftAndHighlightBelowRight) {
  const QColor shadow = ToQColor(clGray);
  const QColor highlight = ToQColor(clWhite);
  TBevel box(TBevel::Shape::LoweredBox);
  box.resize(185, 103);
  const QImage boxImage = box.grab().toImage();
  EXPECT_EQ(boxImage.pixelColor(90, 0), shadow);
  EXPECT_EQ(boxImage.pixelColor(0, 50), shadow);
  EXPECT_EQ(boxImage.pixelColor(184, 50), highlight);
  EXPECT_EQ(boxImage.pixelColor(90, 102), highlight);
  TBevel right(TBevel::Shape::RightLine);
  right.resize(9, 97);
  const QImage rightImage = right.grab().toImage();
  EXPECT_EQ(rightImage.pixelColor(7, 50), shadow);
  EXPECT_EQ(rightImage.pixelColor(8, 50), highlight);
}

}  // namespace
