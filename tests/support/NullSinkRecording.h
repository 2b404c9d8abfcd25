#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>
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

  // Starts parec and returns once the monitor's first values have arrived (false, with a test
  // failure saying why, if parec could not start or delivered nothing within a few seconds).
  bool Start();
  // Stops parec and returns everything recorded, interleaved left, right.
  std::vector<int16_t> Stop();
  // Frames recorded so far: marks where in the recording something the test does falls (what it
  // changes is heard later, after the output's latency, never earlier).
  size_t RecordedFrames() const;
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
};

// Values of one channel of a recording for a duration.
constexpr size_t Samples(double ms) {
  return static_cast<size_t>(ms * Recorder::kRate / 1000);
}

// Records the null sink's monitor while Qt's event loop runs for `ms`, and returns what was
// played meanwhile (nothing, with a failure added, if the recording did not start).
std::vector<int16_t> RecordFor(int ms);
