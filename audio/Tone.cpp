#include "audio/Tone.h"

#include <cmath>
#include <numbers>

std::atomic<double> Frequency{0.0};
std::atomic<double> Amplitude{0.0};
std::atomic<double> Phase{0.0};

// Called on the audio library's thread, against the output deadline. It never allocates,
// locks, logs, throws or touches the window: it reads the shared values and writes samples.
uint32_t ToneStreamProc(uint32_t /*handle*/, void* buffer, uint32_t length, void* /*user*/) {
  auto* values = static_cast<int16_t*>(buffer);
  const uint32_t count = length / 2;
  for (uint32_t i = 0; i < count; ++i) {
    // Frequency, Amplitude and Phase are read afresh for every value and Phase is written back
    // at once, so a change made by the window takes effect from the next value.
    const double phase = Phase.load(std::memory_order_relaxed);
    const double x = std::sin(std::numbers::pi * phase);
    // Truncation toward zero; |x * Amplitude| <= 32767, so the store never wraps.
    values[i] = static_cast<int16_t>(x * Amplitude.load(std::memory_order_relaxed));
    Phase.store(phase + Frequency.load(std::memory_order_relaxed) / kValuesPerSecond,
                std::memory_order_relaxed);
  }
  return length;
}
