#include "tests/e2e/Recorder.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <utility>

Recorder::Recorder(QString source)
    : source_(std::move(source)), path_(dir_.filePath("monitor.raw")) {}

Recorder::~Recorder() {
  if (parec_.state() != QProcess::NotRunning) Stop();
}

bool Recorder::Start() {
  if (!dir_.isValid()) {
    error_ = "no temporary directory";
    return false;
  }
  // The recorder keeps its own short latency, whatever latency the program under test is given.
  QProcessEnvironment environment = parec_.processEnvironment();
  if (environment.isEmpty()) environment = QProcessEnvironment::systemEnvironment();
  environment.remove("PULSE_LATENCY_MSEC");
  parec_.setProcessEnvironment(environment);
  parec_.setStandardOutputFile(path_, QIODevice::Truncate);
  parec_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  parec_.start("parec", {"--device=" + source_, "--format=s16le", QString("--rate=%1").arg(kRate),
                         QString("--channels=%1").arg(kChannels), "--raw", "--latency-msec=10"});
  if (!parec_.waitForStarted(5000)) {
    error_ = "parec did not start: " + parec_.errorString();
    return false;
  }
  // The stream is connected once values arrive; only then is the recording complete from here.
  for (int i = 0; i < 500 && RecordedBytes() < kRate / 10 * kChannels * 2; ++i) {
    if (parec_.state() == QProcess::NotRunning) break;
    QThread::msleep(10);
  }
  if (RecordedBytes() == 0) {
    error_ = "parec recorded nothing";
    Stop();
    return false;
  }
  return true;
}

std::vector<int16_t> Recorder::Stop() {
  if (parec_.state() != QProcess::NotRunning) {
    parec_.terminate();
    if (!parec_.waitForFinished(3000)) {
      parec_.kill();
      parec_.waitForFinished(3000);
    }
  }
  QFile file(path_);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = file.readAll();
  std::vector<int16_t> values(static_cast<size_t>(bytes.size()) / 2);
  std::memcpy(values.data(), bytes.constData(), values.size() * 2);
  return values;
}

size_t Recorder::RecordedFrames() const {
  return static_cast<size_t>(RecordedBytes()) / (kChannels * sizeof(int16_t));
}

qint64 Recorder::RecordedBytes() const {
  return QFileInfo(path_).size();
}

std::vector<int16_t> ChannelOf(std::span<const int16_t> interleaved, int channel) {
  std::vector<int16_t> out;
  out.reserve(interleaved.size() / Recorder::kChannels);
  for (size_t i = static_cast<size_t>(channel); i < interleaved.size(); i += Recorder::kChannels)
    out.push_back(interleaved[i]);
  return out;
}

int Peak(std::span<const int16_t> samples) {
  int peak = 0;
  for (int16_t v : samples) peak = std::max(peak, std::abs(int{v}));
  return peak;
}

int MaxJump(std::span<const int16_t> samples) {
  int jump = 0;
  for (size_t i = 1; i < samples.size(); ++i)
    jump = std::max(jump, std::abs(int{samples[i]} - int{samples[i - 1]}));
  return jump;
}

double ZeroCrossingFrequency(std::span<const int16_t> samples, int rate) {
  double first = -1;
  double last = -1;
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

Extent AboveThreshold(std::span<const int16_t> samples, int threshold) {
  Extent extent;
  bool found = false;
  for (size_t i = 0; i < samples.size(); ++i) {
    if (std::abs(int{samples[i]}) > threshold) {
      if (!found) extent.begin = i;
      found = true;
      extent.end = i + 1;
    }
  }
  return extent;
}

std::vector<Dropout> Dropouts(std::span<const int16_t> samples, int loud, size_t minLength) {
  const Extent tone = AboveThreshold(samples, loud);
  std::vector<Dropout> dropouts;
  for (size_t i = tone.begin; i < tone.end;) {
    if (samples[i] != 0) {
      ++i;
      continue;
    }
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

ChildRun RunWithoutSoundServer(const QString& filter) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("PULSE_SERVER", "unix:/nonexistent/vimbra/native");
  environment.insert("SDL_AUDIODRIVER", "pulseaudio");
  environment.insert("VIMBRA_E2E_CHILD", "1");
  QProcess child;
  child.setProcessEnvironment(environment);
  child.setProcessChannelMode(QProcess::MergedChannels);
  child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=" + filter});
  ChildRun run;
  if (!child.waitForFinished(30000)) {
    child.kill();
    child.waitForFinished();
    run.output = "the child did not finish: " + QString::fromLocal8Bit(child.readAll());
    return run;
  }
  run.exitCode = child.exitCode();
  run.output = QString::fromLocal8Bit(child.readAll());
  return run;
}

QString RunCommand(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(5000) || process.exitCode() != 0) return {};
  return QString::fromLocal8Bit(process.readAllStandardOutput());
}

bool SoundServerReachable() {
  return !qEnvironmentVariableIsEmpty("PULSE_SERVER") && !RunCommand("pactl", {"info"}).isEmpty();
}
