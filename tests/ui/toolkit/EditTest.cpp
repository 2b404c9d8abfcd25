#include <gtest/gtest.h>

#include <QLocale>
#include <QTest>
#include <QToolButton>
#include <stdexcept>

#include "tests/ui/toolkit/MessageBoxCapture.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/Edit.h"

namespace {

// --- Edit box --------------------------------------------------------------------------------

class EditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    edit.setGeometry(88, 264, 41, 17);
    edit.OnChange = [this] { seen.push_back(edit.Text()); };
  }
  TEdit edit{"1"};
  QStringList seen;
};

TEST_F(EditTest, SetTextRunsChangeOnlyForANewText) {
  edit.SetText("25");
  edit.SetText("25");
  edit.SetText("");
  EXPECT_EQ(seen, (QStringList{"25", ""}));
}

TEST_F(EditTest, TypingRunsChangeForEveryKeystroke) {
  edit.show();
  edit.setFocus();
  edit.selectAll();
  QTest::keyClicks(&edit, "250");
  EXPECT_EQ(seen, (QStringList{"2", "25", "250"}));
}

TEST_F(EditTest, HandlerMayPutTheLastGoodValueBack) {
  // The pattern of the sweep boxes: text that is not all digits is replaced by the value held.
  QString held = "1";
  edit.OnChange = [&] {
    seen.push_back(edit.Text());
    bool digits = !edit.Text().isEmpty();
    for (const QChar c : edit.Text()) digits = digits && c >= u'0' && c <= u'9';
    if (digits)
      held = edit.Text();
    else if (!edit.Text().isEmpty())
      edit.SetText(held);
  };
  edit.show();
  edit.setFocus();
  edit.end(false);
  QTest::keyClicks(&edit, "2a");
  EXPECT_EQ(edit.Text(), "12");
  EXPECT_EQ(seen, (QStringList{"12", "12a", "12"}));
  // Typing goes on at the end of the restored text.
  QTest::keyClick(&edit, Qt::Key_5);
  EXPECT_EQ(edit.Text(), "125");
}

TEST_F(EditTest, TypingErrorIsReportedAndTheTextStays) {
  edit.OnChange = [this] { StrToInt(edit.Text()); };
  MessageBoxCapture capture;
  edit.show();
  edit.setFocus();
  edit.selectAll();
  QTest::keyClicks(&edit, "2147483648");
  EXPECT_EQ(edit.Text(), "2147483648");
  ASSERT_EQ(capture.boxes.size(), 1u);  // only the last digit overflows
  EXPECT_EQ(capture.boxes[0].text, "'2147483648' is not a valid integer value.");
  // Set by the program, the error reaches the caller and the text is in place.
  EXPECT_THROW(edit.SetText("3000000000"), EConvertError);
  EXPECT_EQ(edit.Text(), "3000000000");
  EXPECT_EQ(capture.boxes.size(), 1u);
}

// --- Up-down spinner -------------------------------------------------------------------------

class UpDownTest : public ::testing::Test {
 protected:
  void SetUp() override {
    edit->setGeometry(88, 280, 41, 17);
    upDown->setGeometry(129, 280, 16, 17);
    edit->OnChange = [this] { seen.push_back(edit->Text()); };
    window.show();
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
  QStringList seen;
};

TEST_F(UpDownTest, ArrowsStepAndWriteIntoTheBox) {
  QToolButton* up = Arrow(Qt::UpArrow);
  QToolButton* down = Arrow(Qt::DownArrow);
  ASSERT_NE(up, nullptr);
  ASSERT_NE(down, nullptr);
  EXPECT_LT(up->geometry().top(), down->geometry().top());
  QTest::mouseClick(up, Qt::LeftButton);
  QTest::mouseClick(up, Qt::LeftButton);
  QTest::mouseClick(down, Qt::LeftButton);
  EXPECT_EQ(seen, (QStringList{"101", "102", "101"}));
  EXPECT_EQ(upDown->Position(), 101);
}

TEST_F(UpDownTest, StepStartsFromTheNumberTypedIntoTheBox) {
  edit->SetText("5000");
  upDown->StepUp();
  EXPECT_EQ(edit->Text(), "5,001");
  // Separators typed by the user are read too.
  edit->SetText("7,000");
  upDown->StepDown();
  EXPECT_EQ(edit->Text(), "6,999");
  // Something that is no number within the range leaves the spinner's own position.
  edit->SetText("12a");
  upDown->StepUp();
  EXPECT_EQ(edit->Text(), "7,000");
  edit->SetText("20000");
  upDown->StepUp();
  EXPECT_EQ(edit->Text(), "7,001");
}

TEST_F(UpDownTest, PositionStaysWithinTheRange) {
  TEdit* small = new TEdit("1", &window);
  TUpDown spinner(small, 0, 100, 1);
  spinner.StepDown();
  spinner.StepDown();
  EXPECT_EQ(small->Text(), "0");
  spinner.Increment = 60;
  spinner.StepUp();
  spinner.StepUp();
  EXPECT_EQ(small->Text(), "100");
  EXPECT_EQ(spinner.Position(), 100);
}

TEST_F(UpDownTest, ThousandsSeparatorFollowsTheLocale) {
  EXPECT_EQ(TUpDown::FormatPosition(999), "999");
  EXPECT_EQ(TUpDown::FormatPosition(1000), "1,000");
  EXPECT_EQ(TUpDown::FormatPosition(1234567), "1,234,567");
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  EXPECT_EQ(TUpDown::FormatPosition(10000), "10.000");
  EXPECT_EQ(TUpDown::FormatPosition(-1000), "-1.000");
  edit->SetText("1.500");  // read back with the German separator
  upDown->StepUp();
  EXPECT_EQ(edit->Text(), "1.501");
  QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
  const QString space = QLocale().groupSeparator();
  ASSERT_FALSE(space.isEmpty());
  EXPECT_TRUE(space.front().isSpace());
  EXPECT_EQ(TUpDown::FormatPosition(1000), "1" + space + "000");
  edit->SetText("2 000");  // a plain space typed by the user
  upDown->StepUp();
  EXPECT_EQ(edit->Text(), "2" + space + "001");
}

TEST_F(UpDownTest, BoxRefusingSeparatedTextNeverReachesAThousand) {
  // A box that takes digits only puts its value back when the spinner writes "1,000".
  QString held = "998";
  edit->SetText(held);
  edit->OnChange = [&] {
    bool digits = !edit->Text().isEmpty();
    for (const QChar c : edit->Text()) digits = digits && c >= u'0' && c <= u'9';
    if (digits)
      held = edit->Text();
    else
      edit->SetText(held);
  };
  QToolButton* up = Arrow(Qt::UpArrow);
  for (int i = 0; i < 4; ++i) QTest::mouseClick(up, Qt::LeftButton);
  EXPECT_EQ(edit->Text(), "999");
  EXPECT_EQ(held, "999");
}

TEST_F(UpDownTest, ErrorInTheBoxHandlerFromAClickIsReported) {
  edit->OnChange = [] { throw std::runtime_error("bad"); };
  MessageBoxCapture capture;
  QTest::mouseClick(Arrow(Qt::UpArrow), Qt::LeftButton);
  EXPECT_EQ(edit->Text(), "101");
  EXPECT_EQ(capture.boxes.size(), 1u);
  EXPECT_THROW(upDown->StepUp(), std::runtime_error);
}

}  // namespace
