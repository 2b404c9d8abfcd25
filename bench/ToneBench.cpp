// Cost of the tone callback per 16-bit value, next to a bare loop of the same arithmetic on
// plain doubles: the atomics and the per-value reloads should cost next to nothing.
#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "audio/Tone.h"

namespace {

constexpr int kValues = 1024;  // one 512-frame stereo buffer

void BM_ToneStreamProc(benchmark::State& state) {
  std::vector<int16_t> buffer(kValues);
  Frequency = 1000;
  Amplitude = 16864;
  Phase = 0;
  for (auto _ : state) {
    // The same stretch of phase every time, so both loops evaluate sines of the same size.
    Phase.store(0, std::memory_order_relaxed);
    ToneStreamProc(0, buffer.data(), kValues * 2, nullptr);
    benchmark::DoNotOptimize(buffer.data());
  }
  state.SetItemsProcessed(state.iterations() * kValues);
}
BENCHMARK(BM_ToneStreamProc);

void BM_BareLoop(benchmark::State& state) {
  std::vector<int16_t> buffer(kValues);
  double frequency = 1000, amplitude = 16864, phase = 0;
  benchmark::DoNotOptimize(frequency);
  benchmark::DoNotOptimize(amplitude);
  for (auto _ : state) {
    phase = 0;
    for (int i = 0; i < kValues; ++i) {
      buffer[i] = static_cast<int16_t>(std::sin(std::numbers::pi * phase) * amplitude);
      phase += frequency / 44100.0;
    }
    benchmark::DoNotOptimize(buffer.data());
    benchmark::DoNotOptimize(phase);
  }
  state.SetItemsProcessed(state.iterations() * kValues);
}
BENCHMARK(BM_BareLoop);

}  // namespace

BENCHMARK_MAIN();
