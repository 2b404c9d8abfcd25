#include "tests/support/NullSinkRecording.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <cstring>
#include <utility>

#include "tests/support/WaitFor.h"

Recorder::Recorder(QString source)
    : source_(std::move(source)), path_(dir_.filePath("monitor.raw")) {}

Recorder::~Recorder() {
  if (parec_.state() != QProcess::NotRunning) Stop();
}

bool Recorder::Start() {
  if (!dir_.isValid()) {
    ADD_FAILURE() << "no temporary directory";
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
    ADD_FAILURE() << "parec did not start: " << parec_.errorString().toStdString();
    return false;
  }
  // The stream is connected once values arrive; only then is the recording complete from here.
  WaitFor([&] {
    return RecordedBytes() >= kRate / 10 * kChannels * 2 || parec_.state() == QProcess::NotRunning;
  });
  if (RecordedBytes() == 0) {
    ADD_FAILURE() << "parec recorded nothing";
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

std::vector<int16_t> RecordFor(int ms) {
  Recorder recorder;
  if (!recorder.Start()) return {};
  QTest::qWait(ms);
  return recorder.Stop();
}
