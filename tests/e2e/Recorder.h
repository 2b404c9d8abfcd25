#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Records what the sound server actually played: the monitor of the null sink "vimbra_null"
// (started by scripts/sound-server.sh; or another source named at construction), captured with
// parec as raw signed 16-bit stereo at 44100 Hz. parec writes into a temporary file, so nothing is
// lost however long the test takes between Start and Stop; Stop reads it all back into memory.
class Recorder {
 public:
  static constexpr int kRate = 44100;
  static constexpr int kChannels = 2;

  explicit Recorder(QString source = QStringLiteral("vimbra_null.monitor"));
  ~Recorder();
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  // Starts parec and returns once the monitor's first values have arrived (false, with the
  // reason in error(), if parec could not start or delivered nothing within a few seconds).
  bool Start();
  // Stops parec and returns everything recorded, interleaved left, right.
  std::vector<int16_t> Stop();
  // Frames recorded so far: marks where in the recording something the test does falls (what it
  // changes is heard later, after the output's latency, never earlier).
  size_t RecordedFrames() const;
  QString error() const { return error_; }
  // The environment parec runs in (by default this process's, taken at Start).
  void SetEnvironment(const QProcessEnvironment& environment) {
    parec_.setProcessEnvironment(environment);
  }

 private:
  qint64 RecordedBytes() const;

  QString source_;
  QTemporaryDir dir_;
  QString path_;
  QProcess parec_;
  QString error_;
};

// One channel (0 left, 1 right) of interleaved stereo values.
std::vector<int16_t> ChannelOf(std::span<const int16_t> interleaved, int channel);

// Largest magnitude.
int Peak(std::span<const int16_t> samples);

// Largest magnitude of the difference between neighbouring values.
int MaxJump(std::span<const int16_t> samples);

// Frequency in Hz of a steady tone, from the mean spacing of its rising zero crossings (each
// crossing placed between its two values by linear interpolation). 0 without two crossings.
double ZeroCrossingFrequency(std::span<const int16_t> samples, int rate);

// Phase in radians of the component at `frequency` (a single-bin Fourier transform over a whole
// number of its periods from the start of `samples`), as the phase of a cosine.
double PhaseAt(std::span<const int16_t> samples, double frequency, int rate);

// How far `right` leads `left` at `frequency`, in degrees within (-180, 180].
double LeadDegrees(std::span<const int16_t> left, std::span<const int16_t> right, double frequency,
                   int rate);

// Index of the first and one past the last value whose magnitude exceeds `threshold`; {0, 0} if
// none does.
struct Extent {
  size_t begin = 0;
  size_t end = 0;
};
Extent AboveThreshold(std::span<const int16_t> samples, int threshold);

// A stretch of exact zeros inside a tone: the sound server had nothing of the stream to play (an
// underrun) while the tone went on, heard as a gap and a click. No tone these tests play holds a
// value of exactly zero for more than a sample or two.
struct Dropout {
  size_t at = 0;      // index of the first zero
  size_t length = 0;  // number of zeros
};
// Dropouts of at least `minLength` values between the first and the last value louder than
// `loud`.
std::vector<Dropout> Dropouts(std::span<const int16_t> samples, int loud = 1000,
                              size_t minLength = 8);
// "none", or each dropout's place and length in milliseconds, for a failure message.
std::string Describe(const std::vector<Dropout>& dropouts, int rate);

// Runs this test binary again in a child process, with only the tests matching `filter`, the
// sound server pointing nowhere and SDL limited to PulseAudio (another back-end would not care
// about PULSE_SERVER and could open a real device). The child sees VIMBRA_E2E_CHILD=1. SDL picks
// its driver once per process, hence the child.
struct ChildRun {
  int exitCode = -1;
  QString output;  // standard output and error, merged
};
ChildRun RunWithoutSoundServer(const QString& filter);

// Standard output of a command, or an empty string if it failed.
QString RunCommand(const QString& program, const QStringList& arguments);

// Whether the sound server the tests play into (PULSE_SERVER, set by ./test) answers.
bool SoundServerReachable();
