#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "audio/AudioLibrary.h"
#include "audio/EffectChain.h"

// Cost of the effect chain on the stream's own format: 22050 stereo frames per second, in blocks
// of 512 frames.
namespace {

constexpr double kRate = 22050.0;
constexpr size_t kBlock = 512;

void runChain(benchmark::State& state, std::initializer_list<int> effects) {
  EffectChain chain;
  chain.prepare({.sampleRate = kRate, .channels = 2}, static_cast<int>(kBlock));
  const FlangerRecord flanger{2.0f, 44100, 1000.0f, 5.0f};
  const EchoRecord echo{1.0f, 1.0f, 200.0f};
  const AutoWahRecord wah{0.1f, 1.0f, 0.5f, 9.0f, 9.0f, 1000.0f};
  chain.setParameters(kEffectFlanger, &flanger);
  chain.setParameters(kEffectEcho, &echo);
  chain.setParameters(kEffectAutoWah, &wah);
  for (int effect : effects) chain.setEnabled(effect, true);

  // One second of a 500 Hz tone, fed block by block as the stream would.
  std::vector<int16_t> tone(2 * static_cast<size_t>(kRate));
  for (size_t n = 0; n < tone.size() / 2; ++n) {
    const double v = 16864.0 * std::sin(2.0 * std::numbers::pi * 500.0 * n / kRate);
    tone[2 * n] = tone[2 * n + 1] = static_cast<int16_t>(std::lround(v));
  }
  std::vector<int16_t> block(2 * kBlock);
  size_t at = 0;
  const auto started = std::chrono::steady_clock::now();
  for (auto _ : state) {
    if (at + kBlock > tone.size() / 2) at = 0;
    std::copy_n(tone.begin() + static_cast<std::ptrdiff_t>(2 * at), 2 * kBlock, block.begin());
    chain.process(block.data(), kBlock);
    benchmark::DoNotOptimize(block.data());
    benchmark::ClobberMemory();
    at += kBlock;
  }
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kBlock));
  // Seconds per stereo frame (shown with an SI prefix, e.g. 40n = 40 ns).
  state.counters["time_per_frame"] = benchmark::Counter(
      static_cast<double>(kBlock),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  // Share of one core needed to keep up with 22050 frames per second, in percent: a plain number,
  // worked out from the loop's own wall time so that the library prints it without a unit.
  const double frames = static_cast<double>(state.iterations()) * static_cast<double>(kBlock);
  if (frames > 0) state.counters["core_pct_at_22050"] = elapsed.count() / frames * kRate * 100.0;
}

void BM_AllThreeEffects(benchmark::State& state) {
  runChain(state, {kEffectFlanger, kEffectEcho, kEffectAutoWah});
}
void BM_FlangerOnly(benchmark::State& state) {
  runChain(state, {kEffectFlanger});
}
void BM_EchoOnly(benchmark::State& state) {
  runChain(state, {kEffectEcho});
}
void BM_AutoWahOnly(benchmark::State& state) {
  runChain(state, {kEffectAutoWah});
}
void BM_AllOff(benchmark::State& state) {
  runChain(state, {});
}

BENCHMARK(BM_AllThreeEffects);
BENCHMARK(BM_FlangerOnly);
BENCHMARK(BM_EchoOnly);
BENCHMARK(BM_AutoWahOnly);
BENCHMARK(BM_AllOff);

}  // namespace

BENCHMARK_MAIN();
