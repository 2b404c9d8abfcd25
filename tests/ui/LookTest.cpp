// The window's own look against the desktop's: a dark palette or another widget style of the
// application, set before the window exists or while it is shown, changes no pixel of it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QMessageBox>

#include "tests/support/FormFixture.h"
#include "ui/Form1.h"
#include "ui/toolkit/CheckBox.h"
#include "ui/toolkit/Colors.h"

namespace {

using LookTest = FormFixture;

TEST_F(LookTest, ADarkDesktopChangesNoPixelOfTheWindow) {
  CreateUnlockedForm();
  const QImage plain = WindowShot();
  {
    const DarkDesktop dark;
    QEvent themeChange(QEvent::ThemeChange);
    QApplication::sendEvent(form.get(), &themeChange);
    EXPECT_EQ(WindowShot(), plain) << "dark palette and Windows style set while it is shown";
    CreateUnlockedForm();
    EXPECT_EQ(WindowShot(), plain) << "dark palette and Windows style set before the window";
  }
  EXPECT_EQ(WindowShot(), plain) << "the classic look back";
}

TEST_F(LookTest, MessageBoxesShowBlackTextOnALightGround) {
  const DarkDesktop dark;
  QMessageBox box(QMessageBox::Critical, QStringLiteral("BASS Error"), QStringLiteral("text"));
  KeepClassicLook(&box);
  for (const QLabel* label : box.findChildren<QLabel*>()) {
    EXPECT_EQ(FromQColor(label->palette().color(QPalette::WindowText)), clBlack);
    EXPECT_EQ(label->style(), ClassicStyle());
  }
  EXPECT_EQ(box.palette().color(QPalette::Window), ClassicPalette().color(QPalette::Window));
}

}  // namespace
