#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <utility>
#include <vector>

#include "audio/Tone.h"

namespace {

// Sets the shared tone values as the window does on a start, and restores neutral values.
class ToneStreamProcTest : public ::testing::Test {
 protected:
  void SetUp() override { Start(1000, 16864); }
  void TearDown() override { Start(0, 0); }

  static void Start(double frequency, double amplitude) {
    Frequency.store(frequency);
    Amplitude.store(amplitude);
    Phase.store(0.0);
  }

  // Runs the callback over `count` fresh values.
  static std::vector<int16_t> Values(size_t count) {
    std::vector<int16_t> values(count);
    const auto bytes = static_cast<uint32_t>(count * sizeof(int16_t));
    EXPECT_EQ(ToneStreamProc(7, values.data(), bytes, nullptr), bytes);
    return values;
  }
};

// Changes told with a moment are heard at the value of that moment. Requests of 441 values
// computed 10 ms apart each stand for the 10 ms before them: the change at t ms into the request
// computed at `now` lands on the first value at or after t * 44.1 (worked out by hand in each
// row). At 22050 every odd value is a peak, +-A, so the odd values show the amplitude heard.
TEST_F(ToneStreamProcTest, ToldChangesAreHeardAtTheValueOfTheirMoment) {
  struct Change {
    double ms;  // after the first request's first value
    double amplitude;
  };
  struct Row {
    std::vector<Change> changes;
    std::vector<std::pair<size_t, int>> heardFrom;  // the first value of each new amplitude
  };
  const Row rows[] = {
      {{{5.0, 2000}}, {{221, 2000}}},                           // 220.5
      {{{2.0, 2000}, {7.0, 3000}}, {{89, 2000}, {309, 3000}}},  // 88.2 and 308.7
      {{{-3.0, 2000}}, {{0, 2000}}},                            // already passed: at once
      {{{12.0, 2000}}, {{441 + 89, 2000}}},                     // in the next request, at 88.2
  };
  const ToneClock::time_point now = ToneClock::now();
  for (const Row& row : rows) {
    Start(22050, 1000);
    std::vector<int16_t> values(2 * 441);
    // Nothing waits: the values as they stand are heard.
    RenderTone(values.data(), 441, now - std::chrono::milliseconds(10));
    Phase.store(0);
    for (const Change& change : row.changes) {
      Amplitude.store(change.amplitude);
      ScheduleTone(now - std::chrono::milliseconds(10) +
                   std::chrono::duration_cast<ToneClock::duration>(
                       std::chrono::duration<double, std::milli>(change.ms)));
    }
    RenderTone(values.data(), 441, now);
    RenderTone(values.data() + 441, 441, now + std::chrono::milliseconds(10));
    for (size_t i = 1; i < values.size(); i += 2) {
      int heard = 1000;
      for (const auto& [from, amplitude] : row.heardFrom)
        if (i >= from) heard = amplitude;
      ASSERT_EQ(std::abs(values[i]), heard)
          << "value " << i << ", first change at " << row.changes[0].ms << " ms";
    }
  }
}

TEST_F(ToneStreamProcTest, DefaultsGiveTheFirstValuesTruncatedTowardZero) {
  // Rounding to nearest would make the third value 2395.
  EXPECT_EQ(Values(8), (std::vector<int16_t>{0, 1200, 2394, 3576, 4740, 5880, 6990, 8065}));
}

TEST_F(ToneStreamProcTest, TopFrequencyLeavesTheLeftSilentAndTheRightAtFullSwing) {
  Start(22050, 16864);
  EXPECT_EQ(Values(8), (std::vector<int16_t>{0, 16864, 0, -16864, 0, 16864, 0, -16864}));

  Start(22050, 32767);
  const std::vector<int16_t> loud = Values(8);
  EXPECT_EQ(loud[1], 32767);
  EXPECT_EQ(loud[3], -32767);
}

TEST_F(ToneStreamProcTest, AmplitudeBoundsTheValues) {
  Start(1000, 0);
  EXPECT_EQ(Values(4410), std::vector<int16_t>(4410, 0));

  Start(997, 32767);
  const std::vector<int16_t> loud = Values(44100);
  const auto [low, high] = std::minmax_element(loud.begin(), loud.end());
  EXPECT_GE(*low, -32767);
  EXPECT_LE(*high, 32767);
  EXPECT_GT(*high, 32700);  // the tone really reaches the top
}

TEST_F(ToneStreamProcTest, ShortAndOddLengthsWriteWholeValuesOnlyAndReturnTheLength) {
  uint8_t bytes[8];
  std::fill(std::begin(bytes), std::end(bytes), 0xAB);

  EXPECT_EQ(ToneStreamProc(1, bytes, 0, nullptr), 0u);
  EXPECT_EQ(ToneStreamProc(1, bytes, 1, nullptr), 1u);
  EXPECT_EQ(bytes[0], 0xAB);
  EXPECT_EQ(Phase.load(), 0.0);  // nothing computed

  EXPECT_EQ(ToneStreamProc(1, bytes, 5, nullptr), 5u);
  EXPECT_EQ(bytes[4], 0xAB);  // the last, odd byte is left alone
  EXPECT_EQ(bytes[5], 0xAB);
  int16_t second = 0;
  std::memcpy(&second, bytes + 2, sizeof second);
  EXPECT_EQ(second, 1200);
  EXPECT_DOUBLE_EQ(Phase.load(), 2 * 1000 / kValuesPerSecond);
}

TEST_F(ToneStreamProcTest, PhaseRunsOnAcrossCalls) {
  const std::vector<int16_t> whole = Values(2 * 333);
  Phase.store(0.0);
  std::vector<int16_t> halves = Values(333);
  const std::vector<int16_t> second = Values(333);
  halves.insert(halves.end(), second.begin(), second.end());
  EXPECT_EQ(halves, whole);
}

TEST_F(ToneStreamProcTest, LowestFrequencyAdvancesThePhaseByOnePerSecond) {
  Start(1, 16864);
  Values(44100);
  EXPECT_NEAR(Phase.load(), 1.0, 1e-9);
}

TEST_F(ToneStreamProcTest, NewValuesTakeEffectFromTheNextValue) {
  // The window may change the tone between two callbacks (or during one); a change must show
  // in the very next value, with no value computed from a stale copy.
  Values(2);
  Amplitude.store(0);
  EXPECT_EQ(Values(1)[0], 0);
  Amplitude.store(16864);
  Frequency.store(22050);
  const double before = Phase.load();
  Values(1);
  EXPECT_DOUBLE_EQ(Phase.load(), before + 0.5);
}

// The window writes Frequency and Amplitude while the audio thread computes values. Run under
// ThreadSanitizer, this shows the sharing is race-free; without it, it checks that every value
// stays within the amplitude range the window ever set.
TEST_F(ToneStreamProcTest, WindowWritesWhileTheAudioThreadFills) {
  std::atomic<bool> done{false};
  std::thread audio([&] {
    int16_t peak = 0;
    for (int i = 0; i < 200; ++i) {
      for (int16_t v : Values(1024))
        peak = std::max<int16_t>(peak, static_cast<int16_t>(std::abs(v)));
    }
    EXPECT_LE(peak, 20000);
    done.store(true);
  });
  for (int i = 0; !done.load(); ++i) {
    Frequency.store(1 + i % 22050);
    Amplitude.store(i % 20001);
    std::this_thread::yield();
  }
  audio.join();
}

}  // namespace
