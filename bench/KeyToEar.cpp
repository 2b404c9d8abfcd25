// How soon a change is heard, and how evenly a 1 ms sweep rises: the program's sound path against
// a plain client in the same run, both playing to the default output of the running sound server
// while its monitor is recorded.
//
// The plain client is libpulse's simple API playing the program's format (22050 Hz, 16-bit
// stereo) with a 20 ms server buffer, in writes of 64 frames. The program's path is the real
// audio library with ToneStreamProc; its changes are told the way the window tells them (a key:
// now; a 1 ms sweep: TTimer's ticks, run eight at a time, each with its own moment).
//
// Key to ear: the pitch is switched between 500 and 1000 Hz heard, each switch stamped on the
// steady clock; the monitor is read in chunks of 2 ms, each stamped as it arrives, and the
// switch is found in the recording as the first period of the new pitch. The capture's own delay
// is the same for both and drops out of the comparison.
// Stairs: the pitch rises by 0.5 Hz every millisecond for 1.5 s; from one 5 ms window to the next
// it should rise by 2.5 Hz, and the largest departure from that is printed.
//
// Gaps: stretches of silence inside the tone, where the server had nothing of the stream to play.
// --load 1 keeps every core busy meanwhile (a spinning thread each), as a loaded desktop would.
//
//   key_to_ear [--switches N] [--load 1]  (PULSE_SERVER and PULSE_LATENCY_MSEC as for any client)
#include <pulse/simple.h>

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

#include "audio/PulseAudioLibrary.h"
#include "audio/Tone.h"
#include "tests/support/SignalMeasures.h"
#include "ui/toolkit/Timer.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRecordRate = 44100;
constexpr size_t kChunk = 88;  // frames the recorder reads at a time: 2 ms

// The default output's monitor, read on a thread of its own; each chunk's arrival is stamped.
class Capture {
 public:
  bool Start() {
    const pa_sample_spec format{PA_SAMPLE_S16NE, kRecordRate, 1};
    pa_buffer_attr attributes{};
    attributes.maxlength = UINT32_MAX;
    attributes.fragsize = kChunk * 2;
    simple_ = pa_simple_new(nullptr, "key_to_ear", PA_STREAM_RECORD, "@DEFAULT_MONITOR@", "capture",
                            &format, nullptr, &attributes, nullptr);
    if (simple_ == nullptr) return false;
    thread_ = std::thread([this] {
      std::vector<int16_t> chunk(kChunk);
      while (!quit_.load()) {
        if (pa_simple_read(simple_, chunk.data(), chunk.size() * 2, nullptr) < 0) break;
        values_.insert(values_.end(), chunk.begin(), chunk.end());
        arrivals_.push_back(Clock::now());
      }
    });
    return true;
  }
  void Stop() {
    quit_ = true;
    thread_.join();
    pa_simple_free(simple_);
  }
  // When the value at `index` arrived: with its chunk, less the values after it in the chunk.
  Clock::time_point Arrival(size_t index) const {
    const size_t chunk = std::min(index / kChunk, arrivals_.size() - 1);
    const double after = static_cast<double>((chunk + 1) * kChunk - 1 - index) / kRecordRate;
    return arrivals_[chunk] -
           std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(after));
  }
  // The index of the first value that arrived at or after `moment`.
  size_t IndexAt(Clock::time_point moment) const {
    const auto chunk = std::lower_bound(arrivals_.begin(), arrivals_.end(), moment);
    return static_cast<size_t>(chunk - arrivals_.begin()) * kChunk;
  }
  const std::vector<int16_t>& Values() const { return values_; }

 private:
  pa_simple* simple_ = nullptr;
  std::thread thread_;
  std::atomic<bool> quit_{false};
  std::vector<int16_t> values_;
  std::vector<Clock::time_point> arrivals_;
};

// One of the two ways of playing: set the pitch heard (Hz), and run a 1 ms sweep.
struct Player {
  const char* name;
  std::function<void()> start, stop;
  std::function<void(double hz)> set;
  std::function<void(double fromHz, int ms)> sweep;
};

// Runs Qt's event loop for `ms`.
void Spin(int ms) {
  QTimer::singleShot(ms, QCoreApplication::instance(), &QCoreApplication::quit);
  QCoreApplication::exec();
}

// The plain client: a thread writing 64 frames at a time, its sine at the pitch last set.
class PlainClient {
 public:
  void Start() {
    const pa_sample_spec format{PA_SAMPLE_S16NE, 22050, 2};
    pa_buffer_attr attributes{};
    attributes.maxlength = attributes.prebuf = attributes.minreq = UINT32_MAX;
    attributes.tlength = static_cast<uint32_t>(pa_usec_to_bytes(20000, &format));
    simple_ = pa_simple_new(nullptr, "plain client", PA_STREAM_PLAYBACK, nullptr, "tone", &format,
                            nullptr, &attributes, nullptr);
    quit_ = false;
    thread_ = std::thread([this] {
      std::vector<int16_t> block(64 * 2);
      double phase = 0;
      while (!quit_.load() && simple_ != nullptr) {
        const double step = 2 * std::numbers::pi * hz.load() / 22050;
        for (size_t frame = 0; frame < 64; ++frame, phase += step)
          block[2 * frame] = block[2 * frame + 1] = static_cast<int16_t>(16000 * std::sin(phase));
        if (pa_simple_write(simple_, block.data(), block.size() * 2, nullptr) < 0) break;
      }
    });
  }
  void Stop() {
    quit_ = true;
    thread_.join();
    if (simple_ != nullptr) pa_simple_free(simple_);
    simple_ = nullptr;
  }
  std::atomic<double> hz{500};

 private:
  pa_simple* simple_ = nullptr;
  std::thread thread_;
  std::atomic<bool> quit_{false};
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

// Plays `switches` switches 300 ms apart and a sweep, recording all; prints what it found.
void Measure(Player& player, int switches) {
  Capture capture;
  if (!capture.Start()) {
    std::printf("%s: no sound server to record\n", player.name);
    return;
  }
  player.set(500);
  player.start();
  Spin(500);
  std::vector<Clock::time_point> stamps;
  for (int i = 0; i < switches; ++i) {
    stamps.push_back(Clock::now());
    player.set(i % 2 == 0 ? 1000 : 500);
    Spin(300);
  }
  player.set(500);
  Spin(300);
  const Clock::time_point sweepStart = Clock::now();
  player.sweep(500, 1500);
  Spin(100);
  player.stop();
  capture.Stop();

  const std::vector<int16_t>& values = capture.Values();
  std::vector<double> latencies;
  for (int i = 0; i < switches; ++i) {
    // The first rising zero crossing after the switch that opens a period of the new pitch.
    const double period = kRecordRate / (i % 2 == 0 ? 1000.0 : 500.0);
    size_t last = 0;
    for (size_t at = capture.IndexAt(stamps[static_cast<size_t>(i)]); at + 1 < values.size();
         ++at) {
      if (values[at] >= 0 || values[at + 1] < 0) continue;
      if (last != 0 && std::abs(static_cast<double>(at - last) - period) < period * 0.15) {
        latencies.push_back(std::chrono::duration<double, std::milli>(
                                capture.Arrival(last) - stamps[static_cast<size_t>(i)])
                                .count());
        break;
      }
      last = at;
    }
  }
  const size_t from = capture.IndexAt(sweepStart + std::chrono::milliseconds(300));
  const std::vector<double> trace =
      PitchTrace(Slice(values, from, from + kRecordRate), kRecordRate, kRecordRate / 200, 4000);
  double stair = 0;
  for (size_t i = 1; i < trace.size(); ++i)
    stair = std::max(stair, std::abs(trace[i] - trace[i - 1] - 2.5));
  const auto [low, high] = std::minmax_element(latencies.begin(), latencies.end());
  std::printf(
      "%-16s change to ear: median %.1f ms (%.1f to %.1f, %zu of %d found); 1 ms sweep: "
      "largest step off the rise %.2f Hz; gaps in %.1f s: %zu\n",
      player.name, Median(latencies), latencies.empty() ? 0 : *low, latencies.empty() ? 0 : *high,
      latencies.size(), switches, stair, static_cast<double>(values.size()) / kRecordRate,
      Dropouts(values).size());
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  int switches = 12;
  bool load = false;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--switches") == 0) switches = std::atoi(argv[i + 1]);
    if (std::strcmp(argv[i], "--load") == 0) load = std::atoi(argv[i + 1]) != 0;
  }
  std::atomic<bool> done{false};
  std::vector<std::thread> busy;
  for (unsigned core = 0; load && core < std::thread::hardware_concurrency(); ++core) {
    busy.emplace_back([&] {
      while (!done.load(std::memory_order_relaxed)) {
      }
    });
  }

  PlainClient plain;
  Player plainPlayer{"plain client", [&] { plain.Start(); }, [&] { plain.Stop(); },
                     [&](double hz) { plain.hz = hz; },
                     [&](double fromHz, int ms) {
                       const Clock::time_point start = Clock::now();
                       for (int tick = 1; tick <= ms; ++tick) {
                         std::this_thread::sleep_until(start + std::chrono::milliseconds(tick));
                         plain.hz = fromHz + 0.5 * tick;
                       }
                     }};

  PulseAudioLibrary audio;
  uint32_t stream = 0;
  TTimer timer(1, false);
  Player programPlayer{"program",
                       [&] {
                         audio.Init(1, 44100, 0, nullptr, nullptr);
                         stream = audio.StreamCreate(22050, 2, 0, &ToneStreamProc, nullptr);
                         Amplitude = 16000;
                         Phase = 0;
                         audio.StreamPlay(stream, false, 0);
                       },
                       [&] { audio.Free(); },
                       [&](double hz) {
                         Frequency = 2 * hz;  // the frequency value is twice the pitch heard
                         ScheduleTone(TTimer::ChangeMoment());
                       },
                       [&](double fromHz, int ms) {
                         Frequency = 2 * fromHz;
                         ScheduleTone(TTimer::ChangeMoment());
                         timer.OnTimer = [&] {
                           Frequency = Frequency + 1;
                           ScheduleTone(TTimer::ChangeMoment());
                         };
                         timer.SetEnabled(true);
                         Spin(ms);
                         timer.SetEnabled(false);
                       }};
  // Alternately, so that a change in the machine's load falls on both.
  for (int round = 0; round < 2; ++round) {
    Measure(plainPlayer, switches);
    Measure(programPlayer, switches);
  }
  done = true;
  for (std::thread& thread : busy) thread.join();
  return 0;
}
