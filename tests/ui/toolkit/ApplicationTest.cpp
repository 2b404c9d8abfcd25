#include <gtest/gtest.h>

#include <QString>
#include <stdexcept>

#include "tests/ui/toolkit/MessageBoxCapture.h"
#include "ui/toolkit/Application.h"

namespace {

std::string ConvertErrorOf(const QString& text) {
  try {
    StrToInt(text);
  } catch (const EConvertError& error) {
    return error.what();
  }
  return "no error";
}

TEST(StrToIntTest, AcceptsSignedDecimalWithinThirtyTwoBits) {
  EXPECT_EQ(StrToInt("0"), 0);
  EXPECT_EQ(StrToInt("0007"), 7);
  EXPECT_EQ(StrToInt("+5"), 5);
  EXPECT_EQ(StrToInt("-5"), -5);
  EXPECT_EQ(StrToInt("65536"), 65536);
  EXPECT_EQ(StrToInt("2147483647"), 2147483647);
  EXPECT_EQ(StrToInt("-2147483648"), -2147483647 - 1);
  EXPECT_EQ(StrToInt("000000000000000000002147483647"), 2147483647);
}

TEST(StrToIntTest, RefusesValuesBeyondThirtyTwoBits) {
  EXPECT_EQ(ConvertErrorOf("2147483648"), "'2147483648' is not a valid integer value");
  EXPECT_EQ(ConvertErrorOf("-2147483649"), "'-2147483649' is not a valid integer value");
  EXPECT_EQ(ConvertErrorOf("99999999999999999999999"),
            "'99999999999999999999999' is not a valid integer value");
}

TEST(StrToIntTest, RefusesAnythingButSignAndAsciiDigits) {
  for (const QString& text : {QString(), QString("+"), QString("-"), QString("12a"), QString(" 12"),
                              QString("1 000"), QString("1,000"), QString("--1"), QString("0x10"),
                              QString::fromUtf8("\u0661\u0662\u0663"),  // Arabic-Indic digits
                              QString::fromUtf8("\uff11")}) {           // fullwidth digit one
    EXPECT_THROW(StrToInt(text), EConvertError) << text.toStdString();
  }
  EXPECT_EQ(ConvertErrorOf(""), "'' is not a valid integer value");
  EXPECT_EQ(ConvertErrorOf(QString::fromUtf8("\u0661\u0662")),
            "'\u0661\u0662' is not a valid integer value");
}

class ErrorReportTest : public ::testing::Test {
 protected:
  void SetUp() override { Application.Title = QString::fromUtf8("Генератор"); }
  void TearDown() override { Application.Title.clear(); }
  MessageBoxCapture capture;
};

TEST_F(ErrorReportTest, GuardedHandlerErrorIsShownAndSwallowed) {
  bool after = false;
  RunGuarded([&] {
    StrToInt("2147483648");
    after = true;
  });
  EXPECT_FALSE(after);
  ASSERT_EQ(capture.boxes.size(), 1u);
  EXPECT_EQ(capture.boxes[0].title, QString::fromUtf8("Генератор"));
  EXPECT_EQ(capture.boxes[0].text, "'2147483648' is not a valid integer value.");
  EXPECT_EQ(capture.boxes[0].icon, MsgIcon::Error);
}

TEST_F(ErrorReportTest, FullStopIsAddedOnlyWhenMissing) {
  ShowException(std::runtime_error("Scrollbar property out of range"));
  ShowException(std::runtime_error("Already ends."));
  ShowException(std::runtime_error(""));
  ASSERT_EQ(capture.boxes.size(), 3u);
  EXPECT_EQ(capture.boxes[0].text, "Scrollbar property out of range.");
  EXPECT_EQ(capture.boxes[1].text, "Already ends.");
  EXPECT_EQ(capture.boxes[2].text, "");
}

TEST_F(ErrorReportTest, GuardedHandlerWithoutErrorShowsNothing) {
  int runs = 0;
  RunGuarded([&] { ++runs; });
  RunGuarded(nullptr);  // a control without a handler
  EXPECT_EQ(runs, 1);
  EXPECT_TRUE(capture.boxes.empty());
}

TEST_F(ErrorReportTest, OnlyStandardExceptionsAreCaught) {
  EXPECT_THROW(RunGuarded([] { throw 42; }), int);
  EXPECT_TRUE(capture.boxes.empty());
}

TEST(MessageBoxHookTest, HookReceivesEveryBoxAndCanBeRestored) {
  std::vector<MessageBoxCall> outer;
  const MessageBoxHook original =
      SetMessageBoxHook([&](const MessageBoxCall& call) { outer.push_back(call); });
  {
    MessageBoxCapture inner;
    ShowMessageBox(nullptr, "BASS Error", "Can't initialize device", MsgIcon::Error);
    ASSERT_EQ(inner.boxes.size(), 1u);
    EXPECT_EQ(inner.boxes[0].title, "BASS Error");
    EXPECT_EQ(inner.boxes[0].text, "Can't initialize device");
  }
  ShowMessageBox(nullptr, "t", "after", MsgIcon::Information);
  ASSERT_EQ(outer.size(), 1u);
  EXPECT_EQ(outer[0].text, "after");
  EXPECT_EQ(outer[0].icon, MsgIcon::Information);
  SetMessageBoxHook(original);
}

}  // namespace
