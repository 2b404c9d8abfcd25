#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The measures that decide whether a recorded or processed signal is right: pitch, level, steps,
// gaps, periodicity, and whether a pitch followed what the program set. Plain C++ on 16-bit
// values; tests/support/SignalMeasuresTest.cpp checks each on synthetic signals, so that a test
// that fails on one of them can be believed.

// values[begin, end), clamped to the values there are.
std::span<const int16_t> Slice(std::span<const int16_t> values, size_t begin, size_t end);

// One channel (0 left, 1 right) of interleaved stereo values.
std::vector<int16_t> ChannelOf(std::span<const int16_t> interleaved, int channel);

// Largest magnitude.
int Peak(std::span<const int16_t> samples);

double Rms(std::span<const int16_t> samples);

// Mean of the values; 0 for none.
double Mean(std::span<const double> values);

// RMS of each consecutive window of `window` values.
std::vector<double> Envelope(std::span<const int16_t> samples, size_t window);

// Relative spread of an envelope: (max - min) / mean.
double Spread(const std::vector<double>& envelope);

// Largest magnitude of a difference between neighbouring values (the first difference), or of
// their second difference (v[n+1] - 2 v[n] + v[n-1]), within [begin, end), and where. A click is
// a step far above the steady sound's own: a jump of the value shows in the first difference, a
// kink (a jump of the slope) in the second.
struct Step {
  int size = 0;
  size_t at = 0;
};
Step LargestJump(std::span<const int16_t> values, size_t begin = 0, size_t end = SIZE_MAX);
Step LargestStep(std::span<const int16_t> values, size_t begin = 0, size_t end = SIZE_MAX);
// LargestJump(values).size.
int MaxJump(std::span<const int16_t> values);
// The values around `at` with their second differences, `at` marked, for a failure message.
std::string DescribeStep(std::span<const int16_t> values, size_t at);

// Frequency in Hz of a steady tone, from the mean spacing of its rising zero crossings (each
// crossing placed between its two values by linear interpolation). 0 without two crossings.
double ZeroCrossingFrequency(std::span<const int16_t> samples, int rate);

// Zero-crossing pitch of each consecutive window; 0 where the window's peak is at most `floor`.
std::vector<double> PitchTrace(std::span<const int16_t> samples, int rate, size_t window,
                               int floor);
// The whole trace, one value a window, for a failure message.
std::string DescribeTrace(const std::vector<double>& trace);

// Amplitude of the sine component at `frequency` (Goertzel), exact when the window holds a
// whole number of its periods.
double GoertzelAmplitude(std::span<const int16_t> samples, double frequency, int rate);

// Phase in radians of the component at `frequency` (a single-bin Fourier transform over a whole
// number of its periods from the start of `samples`), as the phase of a cosine.
double PhaseAt(std::span<const int16_t> samples, double frequency, int rate);

// How far `right` leads `left` at `frequency`, in degrees within (-180, 180].
double LeadDegrees(std::span<const int16_t> left, std::span<const int16_t> right, double frequency,
                   int rate);

// The lag, in steps of `series` and refined between steps by a parabola, within [minLag, maxLag]
// at which the series (mean removed) best matches itself, with that normalised correlation (0
// for a series that does not vary).
struct Periodicity {
  double lag = 0, correlation = -1;
};
Periodicity BestLag(const std::vector<double>& series, size_t minLag, size_t maxLag);

// Index of the first and one past the last value whose magnitude exceeds `threshold`; {0, 0} if
// none does.
struct Extent {
  size_t begin = 0, end = 0;
};
Extent AboveThreshold(std::span<const int16_t> samples, int threshold);

// A stretch of exact zeros inside a tone: the sound server had nothing of the stream to play (an
// underrun) while the tone went on, heard as a gap and a click. No tone these tests play holds a
// value of exactly zero for more than a sample or two.
struct Dropout {
  size_t at = 0, length = 0;  // index of the first zero, number of zeros
};
// Dropouts of at least `minLength` values between the first and the last value louder than
// `loud`.
std::vector<Dropout> Dropouts(std::span<const int16_t> samples, int loud = 1000,
                              size_t minLength = 8);
// "none", or each dropout's place and length in milliseconds, for a failure message.
std::string Describe(const std::vector<Dropout>& dropouts, int rate);

// A tone that starts within the values: when it sounds from (its first value above `noise`) and
// for how long, its pitch and peak over the steady rest (from 100 ms after its start to 10 ms
// before its end), and the largest jump from 10 ms before its start to 100 ms after it, where a
// start with a click steps far beyond the tone's own.
struct ToneOnset {
  double onsetSeconds = -1;  // -1 for no tone
  double toneSeconds = 0;    // from the onset to the last value above the noise
  double pitch = 0;
  int peak = 0;
  int onsetJump = 0;
};
ToneOnset Onset(std::span<const int16_t> values, int rate, int noise);

// ---- What the program set, against what was heard ----

// One change of a logged control (the frequency bar), at the time (steady clock, seconds) the
// test saw it.
struct ControlChange {
  double seconds = 0;
  int position = 0;
};

// Seconds on the steady clock, the clock of a control log.
double Now();

// Whether a pitch trace followed what the program set, window by window. The recording's clock
// and the log's differ by an offset that the test cannot know exactly (when the recording began,
// the server's latency); the offset within [earliest, latest] that explains the most windows is
// taken. Each window must then lie within the pitches the control went through during it
// (position times `hzPerPosition`), widened by `slack` seconds either side for the latency's own
// jitter, give or take `tolerance` (relative). A pitch trace is immune this way to late or early
// timer ticks: it is compared with the ticks the program really made, not with a timetable.
struct FollowSettings {
  double traceStart = 0;  // seconds from the recording's start to the trace's first window
  double window = 0;      // seconds per window
  double hzPerPosition = 0.5;
  double earliest = 0, latest = 0;  // the range of offsets tried
  double slack = 0.03;
  double tolerance = 0.015;
};
struct Following {
  double offset = 0;              // steady-clock time of the recording's first value
  std::vector<size_t> misses;     // windows outside their range
  std::vector<double> low, high;  // the range set for each window at that offset, in Hz
};
Following Follow(const std::vector<double>& trace, const std::vector<ControlChange>& log,
                 const FollowSettings& how);
// The windows that missed, with what was heard and what the program had set, for a failure
// message.
std::string DescribeMisses(const Following& following, const std::vector<double>& trace,
                           double window);
