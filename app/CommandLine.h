#pragma once

#include <QStringList>

// What the command line asks for. The program has two options of its own, --help and --version,
// which print and end the program; Qt's standard options (-platform, -style, ...) are taken out of
// the arguments by QApplication. Anything else ends the program with an error that names it,
// before the window opens.
//
// QApplication connects to the display at once and aborts the process when there is none, while
// --help and --version must work without one: they are looked for before it exists.
struct CommandLineOutcome {
  bool openWindow = true;  // false: end the program with exitCode, printing the texts
  int exitCode = 0;
  QString output{};                // for standard output: the help or the version
  QString error{};                 // for standard error
  bool helpWithQtOptions = false;  // --help-all: end through ShowHelpWithQtOptions instead
};

// The first of --help, -h, --version and -v in `arguments` (as in argv), or an empty string.
QString HelpOrVersionAsked(const QStringList& arguments);

// `arguments` as QCoreApplication::arguments() has them: Qt's own options taken out.
CommandLineOutcome ReadCommandLine(const QStringList& arguments);

// Prints the help with Qt's own options (--help-all) and ends the program with status 0. Qt
// lists its options only through QCommandLineParser::process, which prints and exits, so the
// entry calls this, after the application exists, as its way out.
void ShowHelpWithQtOptions(const QStringList& arguments);
