#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

#include "audio/AudioLibrary.h"
#include "audio/EffectChain.h"
#include "audio/TripleBuffer.h"
#include "tests/audio/effects/EffectTestSignals.h"
#include "tests/support/SignalMeasures.h"

namespace {

using effect_test::stereoTone;
constexpr double kRate = 22050.0;
constexpr int kEffects[] = {kEffectFlanger, kEffectEcho, kEffectAutoWah};

// Largest change from one value to the next of the same channel within frames [begin, end), and
// the frame where it happens.
Step largestChange(const std::vector<int16_t>& stereo, size_t begin = 0, size_t end = SIZE_MAX) {
  const Step left = LargestJump(ChannelOf(stereo, 0), begin, end);
  const Step right = LargestJump(ChannelOf(stereo, 1), begin, end);
  return right.size > left.size ? right : left;
}

// A chain with `enabled` switched on, and `record` (if any) given to `configured`.
std::unique_ptr<EffectChain> makeChain(std::initializer_list<int> enabled = {}, int configured = 0,
                                       const void* record = nullptr) {
  auto chain = std::make_unique<EffectChain>();
  chain->prepare({.sampleRate = kRate, .channels = 2}, 512);
  for (int effect : enabled) chain->setEnabled(effect, true);
  if (record != nullptr) chain->setParameters(configured, record);
  return chain;
}

// Runs `samples` through the chain in blocks of `block` frames. At each frame of `toggles` (in
// order) `effect` is switched over, a block ending there as the audio thread's blocks would.
void run(EffectChain& chain, std::vector<int16_t>& samples, size_t block = 512, int effect = 0,
         const std::vector<size_t>& toggles = {}) {
  const size_t frames = samples.size() / 2;
  auto toggle = toggles.begin();
  for (size_t at = 0; at < frames;) {
    if (toggle != toggles.end() && *toggle == at) {
      chain.setEnabled(effect, !chain.isEnabled(effect));
      ++toggle;
    }
    const size_t next = std::min({at + block, frames, toggle != toggles.end() ? *toggle : frames});
    chain.process(samples.data() + 2 * at, next - at);
    at = next;
  }
}

TEST(EffectChainTest, EverythingOffLeavesTheToneBitExact) {
  auto chain = makeChain();
  const std::vector<int16_t> input = stereoTone(5000, 500.0, kRate);
  std::vector<int16_t> buf = input;
  run(*chain, buf);
  EXPECT_EQ(buf, input);

  // Also once an effect has been on and has faded out again (5 ms fit in one block).
  chain->setEnabled(kEffectEcho, true);
  run(*chain, buf);
  EXPECT_NE(buf, input);
  chain->setEnabled(kEffectEcho, false);
  chain->process(buf.data(), 512);
  buf = input;
  run(*chain, buf);
  EXPECT_EQ(buf, input);
}

TEST(EffectChainTest, UnknownEffectsRefusedAndRepeatedSwitchesChangeNothing) {
  auto chain = makeChain();
  const EchoRecord echo{1.0f, 1.0f, 200.0f};
  for (int effect : {0, 8, 10, 11, 13, 14, 16, -9}) {
    EXPECT_FALSE(chain->setEnabled(effect, true) || chain->isEnabled(effect) ||
                 chain->setParameters(effect, &echo))
        << effect;
  }
  for (int effect : kEffects) EXPECT_FALSE(chain->setParameters(effect, nullptr));

  // A second set while the flanger runs, and removing the echo that is off, change nothing.
  auto once = makeChain({kEffectFlanger});
  const std::vector<int16_t> input = stereoTone(6144, 300.0, kRate);
  std::vector<int16_t> a = input, b = input;
  run(*once, a, 256);
  chain->setEnabled(kEffectFlanger, true);
  chain->process(b.data(), 256);
  EXPECT_TRUE(chain->setEnabled(kEffectFlanger, true));
  EXPECT_TRUE(chain->setEnabled(kEffectEcho, false));
  for (size_t at = 256; at < 6144; at += 256) chain->process(b.data() + 2 * at, 256);
  EXPECT_EQ(a, b);
  EXPECT_TRUE(chain->isEnabled(kEffectFlanger));
  EXPECT_FALSE(chain->isEnabled(kEffectEcho));
}

TEST(EffectChainTest, RecordsApplyAtTheNextBlock) {
  auto chain = makeChain({kEffectEcho});
  auto firstEchoAfterImpulse = [&] {
    std::vector<int16_t> buf(2 * 6000, 0);
    buf[0] = buf[1] = 20000;
    chain->process(buf.data(), 6000);
    return AboveThreshold(ChannelOf(buf, 0), 0).begin;  // the impulse itself has no dry part
  };
  for (auto [delayMs, frames] : {std::pair{40.0f, 882u}, std::pair{100.0f, 2205u}}) {
    const EchoRecord wetOnly{0.0f, 10.0f, delayMs};
    ASSERT_TRUE(chain->setParameters(kEffectEcho, &wetOnly));
    std::vector<int16_t> settle(2 * 22050, 0);  // glide over silence, old repeats die away
    run(*chain, settle);
    EXPECT_EQ(firstEchoAfterImpulse(), frames) << delayMs << " ms";
  }
}

TEST(EffectChainTest, SwitchingOnAndOffDoesNotClick) {
  // Switches at block starts spread over the tone's phase; a hard switch would jump by up to
  // the tone's amplitude.
  const std::vector<int16_t> input = stereoTone(40000, 440.0, kRate);
  std::vector<size_t> toggles;  // at every seventh block of 300 frames, from the fourth
  for (size_t at = 3 * 300; at < 40000; at += 7 * 300) toggles.push_back(at);
  for (int effect : kEffects) {
    auto chain = makeChain();
    std::vector<int16_t> buf = input;
    run(*chain, buf, 300, effect, toggles);
    EXPECT_NE(buf, input);
    EXPECT_LE(largestChange(buf).size, 2 * largestChange(input).size) << "effect " << effect;
  }
}

// An effect switched on over a steady sine, and switched off and on again: from the switch on,
// through one, two and three echo delays after it, no value differs from the one before by more
// than the sine's own largest change plus what the crossfade adds. A memory that took the full
// input at once after its reset would give a step back one delay (and again two delays) on.
TEST(EffectChainTest, SwitchingOnMidStreamLeavesNoStepLater) {
  constexpr double kAmplitude = 16864.0;
  constexpr size_t kFadeFrames = 110;  // the crossfade's 5 ms
  constexpr size_t kFirstOn = 5 * 512 + 7;
  // Only the effect switched on runs, so each case sets only its record.
  struct Case {
    const char* name;
    int effect;
    const void* record;
    size_t delay = 4410;  // frames: the echo's delay, or its 200 ms for the other effects
  };
  const FlangerRecord flanger{2.0f, 44100, 1000.0f, 5.0f}, widest{3.1f, 44100, 1.0f, 10.0f};
  const EchoRecord echo{1.0f, 1.0f, 200.0f}, wetOnly{0.0f, 10.0f, 200.0f},
      slow{1.0f, 10.0f, 1000.0f};
  const AutoWahRecord wah{0.1f, 1.0f, 0.0f, 9.0f, 9.0f, 1000.0f};
  const AutoWahRecord resonant{-2.0f, 1.0f, 1.0f, 9.0f, 9.0f, 1000.0f};
  const Case cases[] = {
      {"echo", kEffectEcho, &echo},
      {"echo, wet only", kEffectEcho, &wetOnly},
      {"echo, 1 s", kEffectEcho, &slow, 22050},
      {"flanger", kEffectFlanger, &flanger},
      {"flanger, longest delay, equal mix", kEffectFlanger, &widest},
      {"auto-wah", kEffectAutoWah, &wah},
      {"auto-wah, resonant, loud", kEffectAutoWah, &resonant},
  };
  // A low tone, whose own changes are small, shows a step best.
  for (double hz : {110.0, 440.0}) {
    const std::vector<int16_t> input = stereoTone(6 * 22050, hz, kRate, kAmplitude);
    for (const Case& c : cases) {
      // The sound's own: the larger of the dry tone and the effect running steadily (the last
      // three seconds of a run with the effect on from the start).
      std::vector<int16_t> steady = input;
      run(*makeChain({c.effect}, c.effect, c.record), steady);
      const int own =
          std::max(largestChange(input).size, largestChange(steady, 3 * 22050, 6 * 22050).size);
      const int peak = std::max(Peak(input), Peak(steady));
      // The crossfade mixes two signals of at most that peak along an S curve whose slope is at
      // most 1.5 per fade length; the effects' memories fade their input in along the same curve.
      const double allowance = own + 2.0 * peak * 1.5 / kFadeFrames;
      for (bool offAndOnAgain : {false, true}) {
        SCOPED_TRACE(testing::Message()
                     << c.name << (offAndOnAgain ? ", off and on again" : "") << ", " << hz
                     << " Hz: own change " << own << ", allowed " << allowance);
        const size_t switchedOff = kFirstOn + 2 * c.delay + 300;
        const size_t switchedOn = offAndOnAgain ? switchedOff + 1000 : kFirstOn;
        std::vector<int16_t> buf = input;
        ASSERT_LT(switchedOn + 3 * c.delay + 2 * kFadeFrames, buf.size() / 2);
        run(*makeChain({}, c.effect, c.record), buf, 512, c.effect,
            offAndOnAgain ? std::vector{kFirstOn, switchedOff, switchedOn} : std::vector{kFirstOn});
        ASSERT_NE(buf, input);
        const size_t from = offAndOnAgain ? switchedOff : switchedOn;
        for (size_t k = 0; k <= 3; ++k) {
          const size_t begin = (k == 0 ? from : switchedOn + k * c.delay) - 10;
          const Step change = largestChange(buf, begin, switchedOn + k * c.delay + 300);
          EXPECT_LE(change.size, allowance) << k << " delays after the switch, at frame "
                                            << change.at << " (switch at " << switchedOn << ")";
        }
      }
    }
  }
}

TEST(EffectChainTest, LoudSettingsSaturateInsteadOfWrapping) {
  // The loudest corner (auto-wah DryMix 2, full resonance) on a full-scale tone; the other
  // effects never rise above full scale on their own, their tests show.
  const AutoWahRecord loud{2.0f, 1.0f, 1.0f, 9.0f, 9.0f, 1000.0f};
  auto chain = makeChain({kEffectAutoWah}, kEffectAutoWah, &loud);
  const std::vector<int16_t> input = stereoTone(11025, 60.0, kRate, 32767.0);
  std::vector<int16_t> buf = input;
  run(*chain, buf);
  size_t clipped = 0;
  for (size_t i = 2 * 1000; i < buf.size(); ++i) {  // after the fade-in
    if (std::abs(input[i]) > 20000) {
      ASSERT_GT(buf[i] * (input[i] > 0 ? 1 : -1), 30000) << i;
    }
    clipped += buf[i] == 32767 || buf[i] == -32768;
  }
  EXPECT_GT(clipped, 0u);
}

TEST(EffectChainTest, LongCallsEqualShortOnesAndResetSilences) {
  auto big = makeChain({kEffectFlanger, kEffectEcho, kEffectAutoWah});
  auto small = makeChain({kEffectFlanger, kEffectEcho, kEffectAutoWah});
  const std::vector<int16_t> input = stereoTone(5000, 440.0, kRate);
  std::vector<int16_t> a = input, b = input;
  big->process(a.data(), 5000);
  run(*small, b, 512);
  EXPECT_EQ(a, b);

  big->reset();
  std::vector<int16_t> silence(2 * 6000, 0);
  run(*big, silence);
  EXPECT_EQ(Peak(silence), 0);
}

TEST(TripleBufferTest, ReaderSeesWholeRecordsNewestFirst) {
  // One thread writes records whose fields all carry the same count while this one reads:
  // every record read is whole and newer than the one before.
  TripleBuffer<EchoRecord> buffer;
  EchoRecord record{};
  EXPECT_FALSE(buffer.read(record));
  constexpr int kWrites = 200000;
  std::thread writer([&] {
    for (int i = 1; i <= kWrites; ++i) {
      const float v = static_cast<float>(i);
      buffer.write(EchoRecord{v, v, v});
    }
  });
  float last = 0.0f;
  while (last < static_cast<float>(kWrites)) {
    if (!buffer.read(record)) continue;
    ASSERT_TRUE(record.DryMix == record.WetMix && record.DryMix == record.Delay);
    ASSERT_GT(record.DryMix, last);
    last = record.DryMix;
  }
  writer.join();
  EXPECT_FALSE(buffer.read(record));
}

}  // namespace
