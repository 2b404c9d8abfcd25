// The warning gate: nothing that makes sound works until "Ознакомился" is ticked, once.
#include <gtest/gtest.h>

#include <QTest>

#include "tests/support/FormFixture.h"
#include "ui/Form1.h"
#include "ui/toolkit/CheckBox.h"
#include "ui/toolkit/Colors.h"
#include "ui/toolkit/Controls.h"
#include "ui/toolkit/Edit.h"
#include "ui/toolkit/PaintBox.h"
#include "ui/toolkit/RadioGroup.h"
#include "ui/toolkit/ScrollBar.h"

namespace {

class WarningGateTest : public FormFixture {};

TEST_F(WarningGateTest, BeforeTheTickThePreviewShowsTheWindowColour) {
  CreateForm();
  for (QPoint p : {QPoint(0, 0), QPoint(90, 50), QPoint(179, 101)})
    EXPECT_EQ(DrawnPreview().Canvas().Pixel(p.x(), p.y()), 0xE2E4E7u);
}

TEST_F(WarningGateTest, TheHandlerOnAnUntickedBoxChangesNothing) {
  TForm1& g = CreateForm();
  g.CheckBox7Click(g.CheckBox7);
  EXPECT_FALSE(g.Button3->isEnabled());
  EXPECT_TRUE(g.CheckBox7->isEnabled());
  EXPECT_TRUE(g.ScrollBar1->isHidden());
  EXPECT_EQ(g.StaticText10->text(), "Пожалуйста! Ознакомьтесь с текстом!");
  EXPECT_EQ(DrawnPreview().Canvas().Pixel(90, 50), 0xE2E4E7u);
}

TEST_F(WarningGateTest, TheUserTickUnlocksTheGeneratorOnceAndForAll) {
  TForm1& f = CreateForm();
  f.show();
  QTest::mouseClick(f.CheckBox7, Qt::LeftButton, {}, QPoint(8, f.CheckBox7->height() / 2));
  ASSERT_TRUE(f.CheckBox7->Checked());

  for (QWidget* w : Widgets{f.Button3, f.SpeedButton2, f.RadioGroup1, f.CheckBox4, f.CheckBox6,
                            f.Label1, f.Label2, f.Label5, f.Label7})
    EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
  for (QWidget* w : Widgets{f.SpeedButton1, f.SpeedButton3, f.SpeedButton4, f.SpeedButton6})
    EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
  EXPECT_TRUE(f.ScrollBar1->isVisible());
  EXPECT_TRUE(f.ScrollBar2->isVisible());

  for (QWidget* w : Widgets{f.RadioGroup1, f.CheckBox7, f.fq, f.amp})
    EXPECT_EQ(FontColor(w), clBlack) << w->objectName().toStdString();
  EXPECT_EQ(f.fq->Text(), "1000");
  EXPECT_EQ(f.amp->Text(), "50");
  EXPECT_EQ(f.StaticText10->text(), "Зона психической безопасности");
  EXPECT_EQ(Color(f.StaticText10), 0x00A0FFu);

  TCanvas& canvas = DrawnPreview().Canvas();
  EXPECT_EQ(canvas.BrushColor(), clBlack);
  EXPECT_EQ(canvas.FontColor(), kDimGreen);
  EXPECT_EQ(canvas.FontSize(), 8);
  // The default wave is drawn: its top at (135, 25), black around it.
  EXPECT_EQ(canvas.Pixel(135, 25), kBrightGreen);
  EXPECT_EQ(canvas.Pixel(135, 60), clBlack);

  // The tick can no longer be taken back.
  EXPECT_FALSE(f.CheckBox7->isEnabled());
  QTest::mouseClick(f.CheckBox7, Qt::LeftButton, {}, QPoint(8, f.CheckBox7->height() / 2));
  EXPECT_TRUE(f.CheckBox7->Checked());
}

TEST_F(WarningGateTest, TheWarningTextTurnsGreyOnSilver) {
  TForm1& f = CreateUnlockedForm();
  EXPECT_EQ(FromQColor(f.RichEdit1->palette().color(QPalette::Base)), 0xC0C0C0u);
  EXPECT_EQ(FromQColor(f.RichEdit1->textColor()), 0x808080u);
}

}  // namespace
