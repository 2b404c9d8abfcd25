#include <gtest/gtest.h>

#include <QTest>
#include <QTimer>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

#include "tests/support/MessageBoxCapture.h"
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
  // A 1 ms timer wakes every kMinWakeMs (8 ms): had it gone on, 20 ms held two wake-ups.
  QTest::qWait(20);
  EXPECT_EQ(ticks, stopped);
  EXPECT_EQ(capture.boxes.size(), static_cast<size_t>(ticks));
}

// A timer whose handler holds up the event loop: the ticks that fell due meanwhile run at the
// next timeout, up to the backlog limit; a handler that stops the timer ends the catching up.
class TimerCatchUpTest : public ::testing::Test {
 protected:
  // Records in `counts` the ticks run by each timeout of the underlying timer, in order, until
  // `timeouts` have come; then stops the timer.
  void PerTimeout(TTimer& timer, int timeouts) {
    const QTimer* inner = timer.findChild<QTimer*>();
    // Connected after the timer's own handling, so it runs after that timeout's ticks.
    QObject::connect(inner, &QTimer::timeout, [this, last = 0]() mutable {
      counts.push_back(ticks - last);
      last = ticks;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return static_cast<int>(counts.size()) >= timeouts; }, 10000))
        << "timeouts seen: " << counts.size();
    timer.SetEnabled(false);
  }
  // A 5 ms timer whose first tick holds up the event loop for `ms`, over its first two timeouts.
  void StallFirstTick(int ms) {
    TTimer timer(5, true);
    timer.OnTimer = [&] {
      if (++ticks == 1) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    };
    PerTimeout(timer, 2);
  }
  int ticks = 0;
  std::vector<int> counts;
};

TEST_F(TimerCatchUpTest, TicksDueDuringAStallRunAtTheNextTimeout) {
  ASSERT_NO_FATAL_FAILURE(StallFirstTick(60));
  // The second timeout comes at least 65 ms after the start: by its end, ticks 1 to 13 at least
  // have run, though the first timeout ran one or two of them.
  EXPECT_GE(counts[0] + counts[1], 13) << counts[0] << " + " << counts[1];
  EXPECT_LE(counts[1], TTimer::kMaxCatchUpMs / 5);
}

// A 1 ms timer wakes only every kMinWakeMs, and yet runs one tick per millisecond, none before
// it fell due; the changes its ticks make are told a millisecond apart, though ticks run together.
TEST_F(TimerCatchUpTest, AShortTimerWakesSeldomAndKeepsItsCount) {
  const auto start = std::chrono::steady_clock::now();  // before the timer's own start
  TTimer timer(1, true);
  int early = 0;
  std::vector<std::chrono::steady_clock::time_point> moments;
  timer.OnTimer = [&] {
    ++ticks;
    moments.push_back(TTimer::ChangeMoment());
    early += start + std::chrono::milliseconds(ticks) > std::chrono::steady_clock::now();
  };
  ASSERT_NO_FATAL_FAILURE(PerTimeout(timer, 20));
  EXPECT_EQ(early, 0) << "ticks run before they fell due";
  for (size_t tick = 1; tick < moments.size(); ++tick)
    ASSERT_EQ(moments[tick] - moments[tick - 1], std::chrono::milliseconds(1)) << "tick " << tick;
  const auto before = std::chrono::steady_clock::now();  // outside a tick: now
  const auto moment = TTimer::ChangeMoment();
  EXPECT_TRUE(before <= moment && moment <= std::chrono::steady_clock::now());
  // The k-th wake-up comes no sooner than k * kMinWakeMs after the start, and by then every
  // tick of that time has run.
  int total = 0;
  for (size_t k = 0; k < counts.size(); ++k) {
    total += counts[k];
    ASSERT_GE(total, static_cast<int>((k + 1) * TTimer::kMinWakeMs)) << "after wake-up " << k + 1;
  }
}

TEST_F(TimerCatchUpTest, ABacklogBeyondTheLimitIsDropped) {
  ASSERT_NO_FATAL_FAILURE(StallFirstTick(400));
  EXPECT_EQ(counts[1], TTimer::kMaxCatchUpMs / 5);
}

TEST_F(TimerCatchUpTest, AHandlerThatStopsTheTimerEndsTheCatchingUp) {
  TTimer timer(5, true);
  timer.OnTimer = [&] {
    ++ticks;
    if (ticks == 1) std::this_thread::sleep_for(std::chrono::milliseconds(60));
    if (ticks == 4) timer.SetEnabled(false);
  };
  EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 4; }, 10000));
  // A 5 ms timer wakes every 10 ms (the first multiple from kMinWakeMs on): had the catching up
  // or the timer gone on, 30 ms held three wake-ups to run another tick in.
  QTest::qWait(30);
  EXPECT_EQ(ticks, 4);
  EXPECT_FALSE(timer.IsCounting());
}

}  // namespace
