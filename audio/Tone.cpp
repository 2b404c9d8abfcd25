#include "audio/Tone.h"

#include <cmath>
#include <numbers>

#include "audio/SpscQueue.h"

std::atomic<double> Frequency{0.0};
std::atomic<double> Amplitude{0.0};
std::atomic<double> Phase{0.0};

namespace {

struct ToneChange {
  ToneClock::time_point at;
  double frequency = 0, amplitude = 0;
};
SpscQueue<ToneChange, kWaitingChanges> waiting;

// The audio thread's own: the values heard, while a change waits for its moment, and the moment
// of the value after the last one computed.
double heardFrequency = 0, heardAmplitude = 0;
ToneClock::time_point nextMoment{};

// How far a request's own time may stray from where the values run on before they start afresh
// from it: after a pause, a stall or a large request.
constexpr auto kResync = std::chrono::milliseconds(10);

// One value of the tone: the sine of the phase, scaled and truncated toward zero (|x * amplitude|
// <= 32767, so the store never wraps); then the phase moves on by one value's step. Phase is read
// and written back at once, so a reset by the window takes effect from the next value.
int16_t NextValue(double frequency, double amplitude) noexcept {
  const double phase = Phase.load(std::memory_order_relaxed);
  const double x = std::sin(std::numbers::pi * phase);
  Phase.store(phase + frequency / kValuesPerSecond, std::memory_order_relaxed);
  return static_cast<int16_t>(x * amplitude);
}

}  // namespace

void ScheduleTone(ToneClock::time_point at) {
  waiting.push(
      {at, Frequency.load(std::memory_order_relaxed), Amplitude.load(std::memory_order_relaxed)});
}

// Called on the audio library's thread, against the output deadline. It never allocates,
// locks, logs, throws or touches the window: it reads the shared values and writes samples.
uint32_t ToneStreamProc(uint32_t /*handle*/, void* buffer, uint32_t length, void* /*user*/) {
  RenderTone(static_cast<int16_t*>(buffer), length / 2, ToneClock::now());
  return length;
}

void RenderTone(int16_t* values, uint32_t count, ToneClock::time_point now) noexcept {
  // The moment of the first value; value i stands for i / 44100 s after it. The server asks a
  // little early or late, yet what it asks for follows on from the request before: the moments
  // run on from the last request's, drawn an eighth of the way toward the request's own.
  const auto span = std::chrono::duration_cast<ToneClock::duration>(
      std::chrono::duration<double>(count / kValuesPerSecond));
  const ToneClock::time_point own = now - span;
  const ToneClock::duration off = own - nextMoment;
  const ToneClock::time_point first = off > kResync || off < -kResync ? own : nextMoment + off / 8;
  nextMoment = first + span;
  uint32_t i = 0;
  while (i < count) {
    const ToneChange* next = waiting.front();
    if (next == nullptr) {
      // Nothing waits: Frequency and Amplitude are read afresh for every value, so a change
      // made by the window meanwhile takes effect from the next value. The queue, too, is
      // looked at for every value: a change told meanwhile waits for its moment.
      heardFrequency = Frequency.load(std::memory_order_relaxed);
      heardAmplitude = Amplitude.load(std::memory_order_relaxed);
      values[i++] = NextValue(heardFrequency, heardAmplitude);
      continue;
    }
    // The first value at or after the change's moment.
    const double due = std::chrono::duration<double>(next->at - first).count() * kValuesPerSecond;
    if (due <= i) {
      heardFrequency = next->frequency;
      heardAmplitude = next->amplitude;
      waiting.pop();
      continue;
    }
    const uint32_t end = due >= count ? count : static_cast<uint32_t>(std::ceil(due));
    for (; i < end; ++i) values[i] = NextValue(heardFrequency, heardAmplitude);
  }
}
