#include "tests/support/Processes.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>

Finished RunProcess(const QString& program, const QStringList& arguments,
                    const QProcessEnvironment& environment, int timeoutMs) {
  QProcess process;
  process.setProcessEnvironment(environment);
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(program, arguments);
  const bool finished = process.waitForFinished(timeoutMs);
  if (!finished) {
    process.kill();
    process.waitForFinished();
  }
  return {finished ? process.exitCode() : -1, QString::fromLocal8Bit(process.readAll())};
}

void ExpectPassesWithoutSoundServer(const QString& filter) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("PULSE_SERVER", "unix:/nonexistent/vimbra/native");
  environment.insert("VIMBRA_E2E_CHILD", "1");
  const Finished child = RunProcess(QCoreApplication::applicationFilePath(),
                                    {"--gtest_filter=" + filter}, environment, 30000);
  const std::string output = child.output.toStdString();
  EXPECT_EQ(child.exitCode, 0) << output;
  EXPECT_TRUE(child.output.contains("[  PASSED  ] 1 test")) << output;
  EXPECT_FALSE(child.output.contains("SKIPPED")) << output;
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

QStringList ProgramSinkInputs() {
  QStringList inputs;
  for (const QString& block : RunCommand("pactl", {"list", "sink-inputs"}).split("Sink Input #")) {
    if (!block.trimmed().isEmpty() && !block.contains("vimbra-keepalive")) inputs << block;
  }
  return inputs;
}
