#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <numbers>
#include <random>
#include <thread>
#include <vector>

#include "audio/AudioLibrary.h"
#include "audio/EffectChain.h"
#include "audio/TripleBuffer.h"

namespace {

constexpr double kRate = 22050.0;
constexpr int kEffects[] = {kEffectFlanger, kEffectEcho, kEffectAutoWah};

// Stereo tone as the generator makes it: both channels equal.
std::vector<int16_t> tone(size_t frames, double hz, double amplitude = 16864.0) {
  std::vector<int16_t> out(2 * frames);
  for (size_t n = 0; n < frames; ++n) {
    const double v = amplitude * std::sin(2.0 * std::numbers::pi * hz * n / kRate);
    out[2 * n] = out[2 * n + 1] = static_cast<int16_t>(std::lround(v));
  }
  return out;
}

int maxStep(const std::vector<int16_t>& s) {
  int step = 0;
  for (size_t i = 2; i < s.size(); ++i) step = std::max(step, std::abs(s[i] - s[i - 2]));
  return step;
}

std::unique_ptr<EffectChain> makeChain() {
  auto chain = std::make_unique<EffectChain>();
  chain->prepare(kRate, 2, 512);
  return chain;
}

// Runs `samples` through the chain in blocks of `block` frames.
void run(EffectChain& chain, std::vector<int16_t>& samples, size_t block = 512) {
  for (size_t at = 0; at < samples.size() / 2; at += block) {
    chain.process(samples.data() + 2 * at, std::min(block, samples.size() / 2 - at));
  }
}

TEST(EffectChainTest, EverythingOffLeavesTheToneBitExact) {
  auto chain = makeChain();
  const std::vector<int16_t> input = tone(5000, 500.0);
  std::vector<int16_t> buf = input;
  run(*chain, buf);
  EXPECT_EQ(buf, input);

  // Also once an effect has been on and has faded out again.
  chain->setEnabled(kEffectEcho, true);
  std::vector<int16_t> on = input;
  run(*chain, on);
  EXPECT_NE(on, input);
  chain->setEnabled(kEffectEcho, false);
  std::vector<int16_t> fading = input;
  chain->process(fading.data(), 512);  // the 5 ms fade-out fits in one block
  buf = input;
  run(*chain, buf);
  EXPECT_EQ(buf, input);
}

TEST(EffectChainTest, UnknownEffectsAndNullRecordsAreRefused) {
  auto chain = makeChain();
  const EchoRecord echo{1.0f, 1.0f, 200.0f};
  for (int effect : {0, 1, 8, 10, 11, 13, 14, 16, -9}) {
    EXPECT_FALSE(chain->setEnabled(effect, true)) << effect;
    EXPECT_FALSE(chain->isEnabled(effect)) << effect;
    EXPECT_FALSE(chain->setParameters(effect, &echo)) << effect;
  }
  for (int effect : kEffects) {
    EXPECT_FALSE(chain->setParameters(effect, nullptr));
    EXPECT_FALSE(chain->isEnabled(effect));
    EXPECT_TRUE(chain->setEnabled(effect, true));
    EXPECT_TRUE(chain->isEnabled(effect));
  }
}

TEST(EffectChainTest, SettingTwiceOrRemovingWhenOffChangesNothing) {
  const std::vector<int16_t> input = tone(6144, 300.0);  // 24 blocks of 256
  auto once = makeChain();
  auto twice = makeChain();
  once->setEnabled(kEffectFlanger, true);
  twice->setEnabled(kEffectFlanger, true);
  std::vector<int16_t> a = input, b = input;
  run(*once, a, 256);
  twice->process(b.data(), 256);
  twice->setEnabled(kEffectFlanger, true);  // a second set while it runs
  twice->setEnabled(kEffectEcho, false);    // removing one that is off
  for (size_t at = 256; at < 6144; at += 256) twice->process(b.data() + 2 * at, 256);
  EXPECT_EQ(a, b);
  EXPECT_TRUE(twice->isEnabled(kEffectFlanger));
  EXPECT_FALSE(twice->isEnabled(kEffectEcho));
}

TEST(EffectChainTest, RecordsApplyAtTheNextBlock) {
  auto chain = makeChain();
  chain->setEnabled(kEffectEcho, true);
  const EchoRecord wetOnly40{0.0f, 10.0f, 40.0f};  // 882 frames
  ASSERT_TRUE(chain->setParameters(kEffectEcho, &wetOnly40));
  std::vector<int16_t> settle(2 * 4000, 0);
  run(*chain, settle);  // fade-in and parameter glide over silence

  auto firstEcho = [&] {
    std::vector<int16_t> buf(2 * 6000, 0);
    buf[0] = buf[1] = 20000;
    chain->process(buf.data(), 6000);
    for (size_t n = 0; n < 6000; ++n) {
      if (buf[2 * n] != 0) return n;
    }
    return size_t{0};
  };
  EXPECT_EQ(firstEcho(), 882u);

  const EchoRecord wetOnly100{0.0f, 10.0f, 100.0f};  // 2205 frames
  chain->setParameters(kEffectEcho, &wetOnly100);
  std::vector<int16_t> glide(2 * 22050, 0);  // let the 40 ms repeats die away
  run(*chain, glide);
  EXPECT_EQ(firstEcho(), 2205u);
}

TEST(EffectChainTest, SwitchingOnAndOffDoesNotClick) {
  const std::vector<int16_t> input = tone(40000, 440.0);
  const int inputStep = maxStep(input);
  for (int effect : kEffects) {
    auto chain = makeChain();
    std::vector<int16_t> buf = input;
    // Toggle at block starts spread over the tone's phase: blocks of 300 frames, a switch every
    // 7 blocks.
    bool on = false;
    for (size_t block = 0, at = 0; at < 40000; ++block, at += 300) {
      if (block % 7 == 3) chain->setEnabled(effect, on = !on);
      chain->process(buf.data() + 2 * at, std::min<size_t>(300, 40000 - at));
    }
    EXPECT_NE(buf, input);
    EXPECT_LE(maxStep(buf), 2 * inputStep) << "effect " << effect;
  }
}

TEST(EffectChainTest, ExtremeSettingsSaturateInsteadOfWrapping) {
  // Auto-wah with DryMix 2 doubles a full-scale tone: the peaks must clip at the 16-bit ends
  // with the input's sign, never wrap around to the other side.
  auto chain = makeChain();
  const AutoWahRecord loud{2.0f, 1.0f, 1.0f, 9.0f, 9.0f, 1000.0f};
  chain->setParameters(kEffectAutoWah, &loud);
  chain->setEnabled(kEffectAutoWah, true);
  const std::vector<int16_t> input = tone(11025, 60.0, 32767.0);
  std::vector<int16_t> buf = input;
  run(*chain, buf);
  size_t clipped = 0;
  for (size_t i = 2 * 1000; i < buf.size(); ++i) {  // after the fade-in
    if (input[i] > 20000) {
      ASSERT_GT(buf[i], 30000) << i;
    }
    if (input[i] < -20000) {
      ASSERT_LT(buf[i], -30000) << i;
    }
    clipped += buf[i] == 32767 || buf[i] == -32768;
  }
  EXPECT_GT(clipped, 0u);
}

TEST(EffectChainTest, AllTrackBarEndsTogetherKeepTheToneAlive) {
  // Every combination of the panel's track bar ends, all three effects on: the chain never
  // falls silent for good or sticks at one value (what a NaN or a runaway would cause).
  std::mt19937 gen(3);
  std::uniform_int_distribution<int> dist(-32768, 32767);
  for (float delay : {1.1f, 3.1f}) {
    for (float bpm : {1.0f, 2000.0f}) {
      for (float wetDry : {0.0f, 10.0f}) {
        for (float echoDelay : {1.0f, 1000.0f}) {
          for (float mix : {0.0f, 10.0f}) {
            for (float fidBack : {-1.0f, 1.0f}) {
              for (float dry : {-2.0f, 2.0f}) {
                auto chain = makeChain();
                const FlangerRecord f{delay, 44100, bpm, wetDry};
                const EchoRecord e{mix, 10.0f - mix, echoDelay};
                const AutoWahRecord w{dry, 1.0f, fidBack, 9.0f, 9.0f, 1000.0f};
                chain->setParameters(kEffectFlanger, &f);
                chain->setParameters(kEffectEcho, &e);
                chain->setParameters(kEffectAutoWah, &w);
                for (int effect : kEffects) chain->setEnabled(effect, true);
                std::vector<int16_t> buf(2 * 3000);
                for (int16_t& v : buf) v = static_cast<int16_t>(dist(gen));
                run(*chain, buf);
                // Long enough for the longest echo to bring the tone back.
                std::vector<int16_t> out = tone(24000, 440.0);
                run(*chain, out);
                const auto [lo, hi] = std::minmax_element(out.end() - 2 * 1000, out.end());
                EXPECT_GT(*hi - *lo, 100)
                    << delay << " " << bpm << " " << wetDry << " " << echoDelay << " " << mix << " "
                    << fidBack << " " << dry;
              }
            }
          }
        }
      }
    }
  }
}

TEST(EffectChainTest, ResetSilencesTheEcho) {
  auto chain = makeChain();
  chain->setEnabled(kEffectEcho, true);
  std::vector<int16_t> buf = tone(3000, 440.0);
  run(*chain, buf);
  chain->reset();
  std::vector<int16_t> silence(2 * 6000, 0);
  run(*chain, silence);
  EXPECT_TRUE(std::all_of(silence.begin(), silence.end(), [](int16_t v) { return v == 0; }));
}

TEST(EffectChainTest, AnyFrameCountIsProcessedInChunks) {
  // One call far larger than the prepared block size equals the same samples in small calls.
  auto big = makeChain();
  auto small = makeChain();
  for (EffectChain* c : {big.get(), small.get()}) {
    for (int effect : kEffects) c->setEnabled(effect, true);
  }
  const std::vector<int16_t> input = tone(5000, 440.0);
  std::vector<int16_t> a = input, b = input;
  big->process(a.data(), 5000);
  run(*small, b, 512);
  EXPECT_EQ(a, b);
}

TEST(TripleBufferTest, ReaderSeesWholeRecordsNewestFirst) {
  // One thread writes records whose fields all carry the same count; the other reads while it
  // writes. Every record read is whole (no mix of two writes) and never older than the last.
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
    ASSERT_EQ(record.DryMix, record.WetMix);
    ASSERT_EQ(record.DryMix, record.Delay);
    ASSERT_GT(record.DryMix, last);
    last = record.DryMix;
  }
  writer.join();
  EXPECT_FALSE(buffer.read(record));  // nothing new after the last value was taken
}

}  // namespace
