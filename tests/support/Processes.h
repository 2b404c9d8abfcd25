#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// Runs `program` in `environment` and waits for it at most `timeoutMs` (then kills it).
struct Finished {
  int exitCode = -1;  // -1 if it did not finish
  QString output;     // standard output and error, merged
};
Finished RunProcess(const QString& program, const QStringList& arguments,
                    const QProcessEnvironment& environment, int timeoutMs);

// Runs this test binary again in a child process, with only the tests matching `filter` and the
// sound server pointing nowhere, and expects the one test selected to pass there, not skipped.
// The child sees VIMBRA_E2E_CHILD=1; the rest of the binary keeps its server.
void ExpectPassesWithoutSoundServer(const QString& filter);

// Standard output of a command, or an empty string if it failed.
QString RunCommand(const QString& program, const QStringList& arguments);

// Whether the sound server the tests play into (PULSE_SERVER, set by ./test) answers.
bool SoundServerReachable();

// The server's description of each stream playing on it (`pactl list sink-inputs`, one block
// each, from its "#index" line on), the silent keep-alive stream of the test server left out.
QStringList ProgramSinkInputs();
