#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLocale>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>
#include <vector>

#include "tests/support/MessageBoxCapture.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/Edit.h"
#include "ui/toolkit/FramePacer.h"

namespace {

// A box like the sweep's period box with its spinner; its handler takes digits only and puts
// the last good value back otherwise.
class EditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    edit->setGeometry(88, 280, 41, 17);
    upDown->setGeometry(129, 280, 16, 17);
    edit->OnChange = [this] {
      seen.push_back(edit->Text());
      if (digits.match(edit->Text()).hasMatch())
        held = edit->Text();
      else if (!edit->Text().isEmpty())
        edit->SetText(held);
    };
    window.show();
    edit->setFocus();
  }
  void TearDown() override {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  }
  QToolButton* Arrow(Qt::ArrowType type) {
    for (QToolButton* button : upDown->findChildren<QToolButton*>())
      if (button->arrowType() == type) return button;
    return nullptr;
  }

  QWidget window;
  TEdit* edit = new TEdit("100", &window);
  TUpDown* upDown = new TUpDown(edit, 0, 10000, 100, &window);
  const QRegularExpression digits{"\\A[0-9]+\\z"};
  QString held = "100";
  QStringList seen;
};

TEST_F(EditTest, ChangeRunsForSetsAndKeystrokesAndMayRewriteTheText) {
  edit->SetText("25");
  edit->SetText("25");
  edit->end(false);
  QTest::keyClicks(edit, "0a");
  EXPECT_EQ(seen, (QStringList{"25", "250", "250a", "250"}));
  QTest::keyClick(edit, Qt::Key_5);  // typing goes on after the restored text
  EXPECT_EQ(edit->Text(), "2505");
}

TEST_F(EditTest, ConversionErrorWhileTypingIsReportedAndTheTextStays) {
  edit->OnChange = [this] { StrToInt(edit->Text()); };
  MessageBoxCapture capture;
  edit->selectAll();
  QTest::keyClicks(edit, "2147483648");
  EXPECT_EQ(edit->Text(), "2147483648");
  ASSERT_EQ(capture.boxes.size(), 1u);  // only the last digit overflows
  EXPECT_EQ(capture.boxes[0].text, "'2147483648' is not a valid integer value.");
  EXPECT_THROW(edit->SetText("3000000000"), EConvertError);  // the program's own set
}

TEST_F(EditTest, SpinnerStepsFromTheNumberInTheBox) {
  QToolButton* up = Arrow(Qt::UpArrow);
  QToolButton* down = Arrow(Qt::DownArrow);
  ASSERT_TRUE(up && down);
  EXPECT_LT(up->geometry().top(), down->geometry().top());
  QTest::mouseClick(up, Qt::LeftButton);
  QTest::mouseClick(down, Qt::LeftButton);
  QTest::mouseClick(down, Qt::LeftButton);
  EXPECT_EQ(edit->Text(), "99");
  edit->SetText("500");  // typed: the spinner follows
  upDown->StepUp();
  EXPECT_EQ(edit->Text(), "501");
  edit->SetText("");  // no number: the spinner's own position
  upDown->Increment = 20000;
  upDown->StepUp();  // clamped to the maximum
  EXPECT_EQ(upDown->Position(), 10000);
  EXPECT_EQ(edit->Text(), "501");  // "10,000" was refused by the box
}

TEST_F(EditTest, BoxTakingDigitsOnlyNeverGetsAThousandFromTheSpinner) {
  edit->SetText("998");
  for (int i = 0; i < 4; ++i) QTest::mouseClick(Arrow(Qt::UpArrow), Qt::LeftButton);
  EXPECT_EQ(edit->Text(), "999");
  EXPECT_EQ(seen.mid(seen.size() - 2), (QStringList{"1,000", "999"}));
}

TEST_F(EditTest, ThousandsSeparatorFollowsTheLocale) {
  EXPECT_EQ(TUpDown::FormatPosition(999), "999");
  EXPECT_EQ(TUpDown::FormatPosition(1234567), "1,234,567");
  edit->OnChange = nullptr;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  EXPECT_EQ(TUpDown::FormatPosition(-10000), "-10.000");
  edit->SetText("1.500");  // read back with the German separator
  upDown->StepUp();
  EXPECT_EQ(edit->Text(), "1.501");
  QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
  const QString space = QLocale().groupSeparator();
  ASSERT_TRUE(!space.isEmpty() && space.front().isSpace());
  edit->SetText("2 000");  // a plain space typed by the user
  upDown->StepUp();
  EXPECT_EQ(edit->Text(), "2" + space + "001");
}

// A box that only shows a value: the value and the change handler follow every set at once;
// the text is laid out when the window paints, and the user always types into the latest text.
TEST(DisplayEditTest, TakesEverySetAtOnceAndShowsTheLastWhenPainted) {
  QWidget window;
  auto* box = new TEdit("0", &window);
  box->DeferDisplay = true;
  box->setGeometry(10, 10, 57, 16);
  auto* pacer = new TFramePacer(&window);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  std::vector<QString> seen;
  box->OnChange = [&] { seen.push_back(box->Text()); };

  pacer->SetFrameInterval(3600 * 1000);  // every set below within one frame
  for (int v = 1; v <= 300; ++v) {
    box->SetText(QString::number(v));
    QCoreApplication::processEvents();
  }
  ASSERT_EQ(seen.size(), 300u);
  EXPECT_EQ(seen.back(), "300");
  EXPECT_EQ(box->Text(), "300");

  pacer->SetFrameInterval(0);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !pacer->Pending(); }, 10000));
  EXPECT_EQ(box->text(), "300");  // laid out for the paint
  EXPECT_EQ(box->Text(), "300");

  // Typing goes into the latest text even when it has not been painted yet.
  pacer->SetFrameInterval(3600 * 1000);
  box->SetText("42");
  box->setFocus();
  QTest::keyClick(box, Qt::Key_End);
  QTest::keyClicks(box, "7");
  EXPECT_EQ(box->Text(), "427");
  EXPECT_EQ(seen.back(), "427");
}

}  // namespace
