#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

// Program-wide tone values. Frequency and Amplitude are written by the window and read by the
// audio thread; Phase is advanced by the audio thread and reset by the window only while the
// tone is stopped. They are atomics with relaxed order: no lock, no data race.

// Frequency value shown to the user, in Hz (1 to 22050); the tone heard is half of it.
extern std::atomic<double> Frequency;
// Peak sample value, 0 to 32767.
extern std::atomic<double> Amplitude;
// Running phase of the tone in half-periods; never wrapped.
extern std::atomic<double> Phase;
static_assert(std::atomic<double>::is_always_lock_free);  // the audio thread never waits

// Values per second of the stream (22050 frames of 2 values): the divisor of the phase step.
constexpr double kValuesPerSecond = 44100.0;

// The clock the moments of changes are told in.
using ToneClock = std::chrono::steady_clock;

// Window's thread: Frequency and Amplitude, as they stand now, are to be heard from the moment
// `at` on. The sound is computed in requests just before it is played, and the values of a
// request computed at the time T stand for the moments just before T, one value every 1/44100 s
// (smoothed over requests that come a little early or late): a change is heard at the value of
// its moment, one request and the output's buffer later, so a change's place in the sound does
// not depend on when a request happens to come. A moment
// already passed is heard at the first value computed. Changes are heard in the order they are
// told; while none waits, every value reads Frequency and Amplitude as they stand. Up to
// kWaitingChanges wait at a time; a change beyond them is dropped, and its values are heard with
// the next change or once none waits.
void ScheduleTone(ToneClock::time_point at);
inline constexpr int kWaitingChanges = 64;

// Fills the stream's buffer with the sine tone. Called on the audio library's thread.
uint32_t ToneStreamProc(uint32_t handle, void* buffer, uint32_t length, void* user);

// What ToneStreamProc does with `count` values in a request computed at the time `now`.
void RenderTone(int16_t* values, uint32_t count, ToneClock::time_point now) noexcept;
