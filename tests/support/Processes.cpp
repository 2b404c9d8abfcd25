#include "tests/support/Processes.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>

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

QStringList ProgramSinkInputs() {
  QStringList inputs;
  for (const QString& block : RunCommand("pactl", {"list", "sink-inputs"}).split("Sink Input #")) {
    if (!block.trimmed().isEmpty() && !block.contains("vimbra-keepalive")) inputs << block;
  }
  return inputs;
}
