#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/support/MessageBoxCapture.h"
#include "ui/toolkit/Application.h"

namespace {

TEST(StrToIntTest, AcceptsSignedDecimalWithinThirtyTwoBits) {
  EXPECT_EQ(StrToInt("0007"), 7);
  EXPECT_EQ(StrToInt("+5"), 5);
  EXPECT_EQ(StrToInt("2147483647"), 2147483647);
  EXPECT_EQ(StrToInt("-2147483648"), -2147483647 - 1);
  EXPECT_EQ(StrToInt("000000000000000000002147483647"), 2147483647);
}

TEST(StrToIntTest, RefusesEverythingElseNamingTheText) {
  for (const char* text : {"2147483648", "-2147483649", "", "-", "12a", " 12", "1,000", "0x10",
                           "\u0661\u0662\u0663" /* Arabic-Indic digits */})
    EXPECT_THAT([&] { StrToInt(QString::fromUtf8(text)); },
                testing::ThrowsMessage<EConvertError>(
                    testing::StrEq("'" + std::string(text) + "' is not a valid integer value")));
}

TEST(ErrorReportTest, GuardedHandlerErrorEndsTheHandlerAndIsShown) {
  MessageBoxCapture capture;
  Application.Title = QString::fromUtf8("Генератор");
  bool after = false;
  RunGuarded([&] {
    StrToInt("2147483648");
    after = true;
  });
  RunGuarded([] {});
  RunGuarded(nullptr);  // a control without a handler
  EXPECT_FALSE(after);
  ASSERT_EQ(capture.boxes.size(), 1u);
  EXPECT_EQ(capture.boxes[0].title, QString::fromUtf8("Генератор"));
  EXPECT_EQ(capture.boxes[0].text, "'2147483648' is not a valid integer value.");
  EXPECT_EQ(capture.boxes[0].icon, MsgIcon::Error);
  // Only standard exceptions are the report's business.
  EXPECT_THROW(RunGuarded([] { throw 42; }), int);
  Application.Title.clear();
}

TEST(ErrorReportTest, FullStopIsAddedOnlyWhenMissing) {
  MessageBoxCapture capture;
  ShowException(std::runtime_error("Scrollbar property out of range"));
  ShowException(std::runtime_error("Already ends."));
  ASSERT_EQ(capture.boxes.size(), 2u);
  EXPECT_EQ(capture.boxes[0].text, "Scrollbar property out of range.");
  EXPECT_EQ(capture.boxes[1].text, "Already ends.");
}

}  // namespace
