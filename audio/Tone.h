#pragma once

#include <atomic>
#include <cstdint>

// Program-wide tone values. Frequency and Amplitude are written by the window and read by the
// audio thread for every value; Phase is advanced by the audio thread and reset by the window
// only while the tone is stopped. They are atomics with relaxed order: no lock, no data race.

// Frequency value shown to the user, in Hz (1 to 22050); the tone heard is half of it.
extern std::atomic<double> Frequency;
// Peak sample value, 0 to 32767.
extern std::atomic<double> Amplitude;
// Running phase of the tone in half-periods; never wrapped.
extern std::atomic<double> Phase;
static_assert(std::atomic<double>::is_always_lock_free);  // the audio thread never waits

// Values per second of the stream (22050 frames of 2 values): the divisor of the phase step.
constexpr double kValuesPerSecond = 44100.0;

// Fills the stream's buffer with the sine tone. Called on the audio library's thread.
uint32_t ToneStreamProc(uint32_t handle, void* buffer, uint32_t length, void* user);
