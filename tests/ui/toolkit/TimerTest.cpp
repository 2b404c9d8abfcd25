#include <gtest/gtest.h>

#include <QTest>
#include <QTimer>
#include <stdexcept>

#include "tests/ui/toolkit/MessageBoxCapture.h"
#include "ui/toolkit/Timer.h"

namespace {

TEST(TimerTest, CountsOnlyWhenEnabledWithAnInterval) {
  TTimer timer(0, true);
  EXPECT_FALSE(timer.IsCounting());  // interval 0 never ticks
  timer.SetInterval(250);
  EXPECT_TRUE(timer.IsCounting());
  timer.SetEnabled(false);
  EXPECT_FALSE(timer.IsCounting());
  EXPECT_EQ(timer.Interval(), 250u);
}

TEST(TimerTest, NewIntervalRestartsTheCountAndTheSameOneDoesNot) {
  TTimer timer(10000, true);
  const QTimer* inner = timer.findChild<QTimer*>();
  ASSERT_NE(inner, nullptr);
  QTest::qWait(30);
  const int before = inner->remainingTime();
  ASSERT_LT(before, 10000);
  timer.SetInterval(10000);
  timer.SetEnabled(true);  // already on
  EXPECT_LE(inner->remainingTime(), before);
  timer.SetInterval(20000);
  EXPECT_GT(inner->remainingTime(), 10000);
}

TEST(TimerTest, TicksRunOnTimerAndTheirErrorsAreReported) {
  TTimer timer(1, true);
  int ticks = 0;
  timer.OnTimer = [&] {
    ++ticks;
    throw std::runtime_error("tick");
  };
  MessageBoxCapture capture;
  EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 2; }, 5000));  // it goes on ticking
  timer.SetEnabled(false);
  const int stopped = ticks;
  QTest::qWait(20);
  EXPECT_EQ(ticks, stopped);
  EXPECT_EQ(capture.boxes.size(), static_cast<size_t>(ticks));
}

}  // namespace
