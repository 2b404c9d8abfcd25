// Cost of the tone callback per 16-bit value, next to a bare loop of the same arithmetic on
// local doubles: the atomics and keeping Phase in memory should cost next to nothing.
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

// Frequency and amplitude as plain values that must be loaded for every value, as the callback
// loads its atomics; the phase stays in a register.
volatile double bareFrequency = 1000;
volatile double bareAmplitude = 16864;

void BM_BareLoop(benchmark::State& state) {
  std::vector<int16_t> buffer(kValues);
  for (auto _ : state) {
    double phase = 0;
    for (int i = 0; i < kValues; ++i) {
      buffer[i] = static_cast<int16_t>(std::sin(std::numbers::pi * phase) * bareAmplitude);
      phase += bareFrequency / 44100.0;
    }
    benchmark::DoNotOptimize(buffer.data());
    benchmark::DoNotOptimize(phase);
  }
  state.SetItemsProcessed(state.iterations() * kValues);
}
BENCHMARK(BM_BareLoop);

}  // namespace

BENCHMARK_MAIN();
