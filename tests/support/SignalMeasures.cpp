#include "tests/support/SignalMeasures.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <numbers>
#include <numeric>
#include <sstream>
#include <utility>

std::span<const int16_t> Slice(std::span<const int16_t> values, size_t begin, size_t end) {
  end = std::min(end, values.size());
  begin = std::min(begin, end);
  return values.subspan(begin, end - begin);
}

std::vector<int16_t> ChannelOf(std::span<const int16_t> interleaved, int channel) {
  std::vector<int16_t> out;
  for (size_t i = static_cast<size_t>(channel); i < interleaved.size(); i += 2)
    out.push_back(interleaved[i]);
  return out;
}

int Peak(std::span<const int16_t> samples) {
  int peak = 0;
  for (int16_t v : samples) peak = std::max(peak, std::abs(int{v}));
  return peak;
}

double Rms(std::span<const int16_t> samples) {
  double sum = 0;
  for (int16_t v : samples) sum += static_cast<double>(v) * v;
  return samples.empty() ? 0 : std::sqrt(sum / static_cast<double>(samples.size()));
}

double Mean(std::span<const double> values) {
  return values.empty() ? 0
                        : std::accumulate(values.begin(), values.end(), 0.0) /
                              static_cast<double>(values.size());
}

std::vector<double> Envelope(std::span<const int16_t> samples, size_t window) {
  std::vector<double> envelope;
  for (size_t at = 0; at + window <= samples.size(); at += window)
    envelope.push_back(Rms(samples.subspan(at, window)));
  return envelope;
}

double Spread(const std::vector<double>& envelope) {
  const auto [low, high] = std::minmax_element(envelope.begin(), envelope.end());
  return (*high - *low) / Mean(envelope);
}

namespace {

int SecondDifference(std::span<const int16_t> values, size_t n) {
  return int{values[n + 1]} - 2 * int{values[n]} + int{values[n - 1]};
}

}  // namespace

Step LargestJump(std::span<const int16_t> values, size_t begin, size_t end) {
  Step step{0, begin};
  for (size_t n = std::max<size_t>(begin, 1); n < std::min(end, values.size()); ++n) {
    const int d = std::abs(int{values[n]} - int{values[n - 1]});
    if (d > step.size) step = {d, n};
  }
  return step;
}

Step LargestStep(std::span<const int16_t> values, size_t begin, size_t end) {
  Step step{0, begin};
  for (size_t n = std::max<size_t>(begin, 1); n + 1 < std::min(end, values.size()); ++n) {
    const int d2 = std::abs(SecondDifference(values, n));
    if (d2 > step.size) step = {d2, n};
  }
  return step;
}

int MaxJump(std::span<const int16_t> values) {
  return LargestJump(values).size;
}

std::string DescribeStep(std::span<const int16_t> values, size_t at) {
  std::ostringstream text;
  const size_t from = at > 12 ? at - 12 : 1;
  for (size_t n = from; n + 1 < values.size() && n < at + 13; ++n) {
    text << (n == at ? "  >" : "   ") << " [" << n << "] " << values[n] << " (d2 "
         << SecondDifference(values, n) << ")\n";
  }
  return text.str();
}

double ZeroCrossingFrequency(std::span<const int16_t> samples, int rate) {
  double first = -1, last = -1;
  int crossings = 0;
  for (size_t i = 1; i < samples.size(); ++i) {
    const double a = samples[i - 1];
    const double b = samples[i];
    if (a < 0 && b >= 0) {
      const double at = static_cast<double>(i - 1) + (-a / (b - a));
      if (first < 0) first = at;
      last = at;
      ++crossings;
    }
  }
  if (crossings < 2) return 0;
  return (crossings - 1) * rate / (last - first);
}

std::vector<double> PitchTrace(std::span<const int16_t> samples, int rate, size_t window,
                               int floor) {
  std::vector<double> trace;
  for (size_t at = 0; at + window <= samples.size(); at += window) {
    const std::span<const int16_t> part = samples.subspan(at, window);
    trace.push_back(Peak(part) > floor ? ZeroCrossingFrequency(part, rate) : 0);
  }
  return trace;
}

std::string DescribeTrace(const std::vector<double>& trace) {
  std::ostringstream text;
  text << "trace (Hz):";
  for (size_t i = 0; i < trace.size(); ++i) text << (i % 20 == 0 ? "\n  " : " ") << trace[i];
  return text.str();
}

double GoertzelAmplitude(std::span<const int16_t> samples, double frequency, int rate) {
  const double coefficient = 2 * std::cos(2 * std::numbers::pi * frequency / rate);
  double s1 = 0, s2 = 0;
  for (int16_t v : samples) {
    const double s = v + coefficient * s1 - s2;
    s2 = s1;
    s1 = s;
  }
  const double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
  return 2 * std::sqrt(std::max(power, 0.0)) / static_cast<double>(samples.size());
}

double PhaseAt(std::span<const int16_t> samples, double frequency, int rate) {
  const double period = rate / frequency;
  const auto length =
      static_cast<size_t>(std::floor(static_cast<double>(samples.size()) / period) * period);
  std::complex<double> sum;
  for (size_t n = 0; n < length; ++n) {
    const double angle = 2 * std::numbers::pi * frequency * static_cast<double>(n) / rate;
    sum += static_cast<double>(samples[n]) * std::polar(1.0, -angle);
  }
  return std::arg(sum);
}

double LeadDegrees(std::span<const int16_t> left, std::span<const int16_t> right, double frequency,
                   int rate) {
  double lead =
      (PhaseAt(right, frequency, rate) - PhaseAt(left, frequency, rate)) * 180.0 / std::numbers::pi;
  while (lead <= -180) lead += 360;
  while (lead > 180) lead -= 360;
  return lead;
}

Periodicity BestLag(const std::vector<double>& series, size_t minLag, size_t maxLag) {
  const double mean = Mean(series);
  auto correlation = [&](size_t lag) {
    double product = 0, a2 = 0, b2 = 0;
    for (size_t n = 0; n + lag < series.size(); ++n) {
      const double a = series[n] - mean;
      const double b = series[n + lag] - mean;
      product += a * b;
      a2 += a * a;
      b2 += b * b;
    }
    return a2 > 0 && b2 > 0 ? product / std::sqrt(a2 * b2) : 0.0;
  };
  Periodicity best;
  size_t bestLag = 0;
  for (size_t lag = minLag; lag <= maxLag && lag < series.size(); ++lag) {
    const double r = correlation(lag);
    if (r > best.correlation) {
      best.correlation = r;
      bestLag = lag;
    }
  }
  best.lag = static_cast<double>(bestLag);
  if (bestLag > 0 && bestLag + 1 < series.size()) {
    const double before = correlation(bestLag - 1);
    const double after = correlation(bestLag + 1);
    const double curvature = before - 2 * best.correlation + after;
    if (curvature < 0) best.lag += 0.5 * (before - after) / curvature;
  }
  return best;
}

Extent AboveThreshold(std::span<const int16_t> samples, int threshold) {
  const auto loud = [threshold](int16_t v) { return std::abs(int{v}) > threshold; };
  const auto first = std::find_if(samples.begin(), samples.end(), loud);
  if (first == samples.end()) return {};
  const auto last = std::find_if(samples.rbegin(), samples.rend(), loud);
  return {static_cast<size_t>(first - samples.begin()), static_cast<size_t>(samples.rend() - last)};
}

std::vector<Dropout> Dropouts(std::span<const int16_t> samples, int loud, size_t minLength) {
  const Extent tone = AboveThreshold(samples, loud);
  std::vector<Dropout> dropouts;
  for (size_t i = tone.begin; i < tone.end; ++i) {
    if (samples[i] != 0) continue;
    size_t end = i;
    while (end < tone.end && samples[end] == 0) ++end;
    if (end - i >= minLength) dropouts.push_back({i, end - i});
    i = end;
  }
  return dropouts;
}

std::string Describe(const std::vector<Dropout>& dropouts, int rate) {
  if (dropouts.empty()) return "none";
  std::string text;
  for (const Dropout& d : dropouts) {
    text += (text.empty() ? "" : ", ") + std::to_string(1000.0 * static_cast<double>(d.at) / rate) +
            " ms (" + std::to_string(1000.0 * static_cast<double>(d.length) / rate) + " ms long)";
  }
  return text;
}

ToneOnset Onset(std::span<const int16_t> values, int rate, int noise) {
  ToneOnset r;
  const Extent sound = AboveThreshold(values, noise);
  if (sound.end <= sound.begin) return r;
  const auto samples = [rate](double ms) { return static_cast<size_t>(ms * rate / 1000); };
  r.onsetSeconds = static_cast<double>(sound.begin) / rate;
  r.toneSeconds = static_cast<double>(sound.end - sound.begin) / rate;
  const std::span<const int16_t> steady =
      Slice(values, sound.begin + samples(100), sound.end - samples(10));
  r.pitch = ZeroCrossingFrequency(steady, rate);
  r.peak = Peak(steady);
  r.onsetJump = MaxJump(
      Slice(values, sound.begin - std::min(sound.begin, samples(10)), sound.begin + samples(100)));
  return r;
}

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

namespace {

// Lowest and highest position in force at any time within [from, to].
std::pair<int, int> PositionsDuring(const std::vector<ControlChange>& log, double from, double to) {
  auto at = std::upper_bound(log.begin(), log.end(), from,
                             [](double t, const ControlChange& c) { return t < c.seconds; });
  if (at != log.begin()) --at;
  int low = at->position, high = low;
  for (; at != log.end() && at->seconds <= to; ++at) {
    low = std::min(low, at->position);
    high = std::max(high, at->position);
  }
  return {low, high};
}

}  // namespace

Following Follow(const std::vector<double>& trace, const std::vector<ControlChange>& log,
                 const FollowSettings& how) {
  Following best;
  for (double offset = how.earliest; offset <= how.latest; offset += 0.001) {
    Following candidate;
    candidate.offset = offset;
    for (size_t i = 0; i < trace.size(); ++i) {
      const double from = offset + how.traceStart + static_cast<double>(i) * how.window;
      const auto [low, high] =
          PositionsDuring(log, from - how.slack, from + how.window + how.slack);
      candidate.low.push_back(low * how.hzPerPosition * (1 - how.tolerance));
      candidate.high.push_back(high * how.hzPerPosition * (1 + how.tolerance));
      if (trace[i] < candidate.low.back() || trace[i] > candidate.high.back())
        candidate.misses.push_back(i);
    }
    if (offset == how.earliest || candidate.misses.size() < best.misses.size())
      best = std::move(candidate);
  }
  return best;
}

std::string DescribeMisses(const Following& following, const std::vector<double>& trace,
                           double window) {
  std::ostringstream text;
  text << following.misses.size() << " of " << trace.size() << " windows of " << window * 1000
       << " ms off what the program set:";
  for (size_t i : following.misses) {
    text << "\n  at " << static_cast<double>(i) * window << " s heard " << trace[i] << " Hz, set "
         << following.low[i] << " to " << following.high[i] << " Hz";
  }
  return text.str();
}
