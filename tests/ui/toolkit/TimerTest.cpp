#include <gtest/gtest.h>

#include <QTest>
#include <QTimer>
#include <stdexcept>

#include "tests/ui/toolkit/MessageBoxCapture.h"
#include "ui/toolkit/Timer.h"

namespace {

QTimer* Inner(TTimer& timer) {
  return timer.findChild<QTimer*>();
}

TEST(TimerTest, CountsOnlyWhenEnabledWithAnInterval) {
  TTimer timer(100, false);
  EXPECT_FALSE(timer.IsCounting());
  timer.SetEnabled(true);
  EXPECT_TRUE(timer.IsCounting());
  timer.SetInterval(0);
  EXPECT_TRUE(timer.Enabled());
  EXPECT_FALSE(timer.IsCounting());
  timer.SetInterval(250);
  EXPECT_TRUE(timer.IsCounting());
  EXPECT_EQ(Inner(timer)->interval(), 250);
  timer.SetEnabled(false);
  EXPECT_FALSE(timer.IsCounting());
  EXPECT_EQ(timer.Interval(), 250u);
}

TEST(TimerTest, TicksRunOnTimer) {
  TTimer timer(1, true);
  int ticks = 0;
  timer.OnTimer = [&] { ++ticks; };
  EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 2; }, 5000));
  timer.SetEnabled(false);
  const int stopped = ticks;
  QTest::qWait(20);
  EXPECT_EQ(ticks, stopped);
}

TEST(TimerTest, ZeroIntervalNeverTicks) {
  TTimer timer(0, true);
  int ticks = 0;
  timer.OnTimer = [&] { ++ticks; };
  QTest::qWait(20);
  EXPECT_EQ(ticks, 0);
}

TEST(TimerTest, NewIntervalRestartsTheCountAndTheSameOneDoesNot) {
  TTimer timer(10000, true);
  QTimer* inner = Inner(timer);
  ASSERT_NE(inner, nullptr);
  QTest::qWait(30);
  const int before = inner->remainingTime();
  ASSERT_LT(before, 10000);
  timer.SetInterval(10000);
  EXPECT_LE(inner->remainingTime(), before);
  timer.SetEnabled(true);  // already on
  EXPECT_LE(inner->remainingTime(), before);
  timer.SetInterval(20000);
  EXPECT_GT(inner->remainingTime(), 10000);
}

TEST(TimerTest, ErrorInATickIsReportedAndTheTimerGoesOn) {
  TTimer timer(1, true);
  int ticks = 0;
  timer.OnTimer = [&] {
    ++ticks;
    throw std::runtime_error("tick");
  };
  MessageBoxCapture capture;
  EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 2; }, 5000));
  timer.SetEnabled(false);
  EXPECT_EQ(capture.boxes.size(), static_cast<size_t>(ticks));
  EXPECT_EQ(capture.boxes[0].text, "tick.");
  EXPECT_TRUE(timer.Enabled() == false);
}

}  // namespace
