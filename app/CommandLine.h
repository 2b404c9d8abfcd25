#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for. The program has two options of its own, --help and --version,
// which print and end the program; every other argument must be one of the Qt toolkit's standard
// options (-platform, -style, ...), which are left in place for QApplication to take. Anything
// else ends the program with an error that names the argument, before any window is opened.
//
// The arguments are read before QApplication exists, because QApplication connects to the
// display at once and aborts the process when there is none: --help must work without one.
struct CommandLineOutcome {
  bool openWindow = true;  // false: end the program with exitCode, printing the texts
  int exitCode = 0;
  QString output;  // for standard output: the help or the version
  QString error;   // for standard error
};

// `arguments` as in argv: the program's name first.
CommandLineOutcome ReadCommandLine(const QStringList& arguments);
