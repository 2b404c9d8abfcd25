#include "app/CommandLine.h"

#include <QCommandLineParser>

namespace {

// The exit status of a command line the program does not understand, as usage errors of
// command-line tools commonly have it.
constexpr int kUsageError = 2;

const QString kHelp = QStringLiteral(
    "Usage: vimbra-generator [options]\n"
    "Kestrov Lab Vimbra Generator: a sine tone generator with sound zones and effects.\n"
    "\n"
    "Options:\n"
    "  -h, --help     Show this help and exit.\n"
    "  -v, --version  Show the version and exit.\n"
    "\n"
    "The standard options of the Qt toolkit are accepted too, such as -platform NAME,\n"
    "-style NAME, -qwindowgeometry GEOMETRY and -reverse. See vimbra-generator(1).\n");

// The standard options that QGuiApplication and QApplication take out of the command line
// themselves (on Linux, with the X11 ones), by whether they are followed by a value.
const QStringList kQtOptionsWithValue = {
    QStringLiteral("platform"),
    QStringLiteral("platformpluginpath"),
    QStringLiteral("platformtheme"),
    QStringLiteral("plugin"),
    QStringLiteral("qwindowgeometry"),
    QStringLiteral("qwindowicon"),
    QStringLiteral("qwindowtitle"),
    QStringLiteral("session"),
    QStringLiteral("display"),
    QStringLiteral("geometry"),
    QStringLiteral("style"),
    QStringLiteral("stylesheet"),
    QStringLiteral("qmljsdebugger"),
    QStringLiteral("title"),
    QStringLiteral("icon"),
    QStringLiteral("name"),
};
const QStringList kQtFlags = {
    QStringLiteral("reverse"), QStringLiteral("widgetcount"), QStringLiteral("nograb"),
    QStringLiteral("dograb"),  QStringLiteral("sync"),        QStringLiteral("testability"),
};

// Ends the program before any window opens.
CommandLineOutcome End(int exitCode, const QString& output, const QString& error) {
  return {.openWindow = false, .exitCode = exitCode, .output = output, .error = error};
}

CommandLineOutcome UsageError(const QString& message) {
  return End(kUsageError, QString(),
             QStringLiteral("vimbra-generator: %1\n"
                            "Try 'vimbra-generator --help' for more information.\n")
                 .arg(message));
}

}  // namespace

CommandLineOutcome ReadCommandLine(const QStringList& arguments) {
  QCommandLineParser parser;
  // Qt's own options are words after a single dash (-platform); so they are read here too.
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
  const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
  parser.addOptions({help, version});
  for (const QString& name : kQtOptionsWithValue)
    parser.addOption(QCommandLineOption(name, QString(), QStringLiteral("value")));
  for (const QString& name : kQtFlags) parser.addOption(QCommandLineOption(name));

  if (!parser.parse(arguments)) return UsageError(parser.errorText());
  if (!parser.positionalArguments().isEmpty()) {
    return UsageError(
        QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().first()));
  }
  if (parser.isSet(help)) return End(0, kHelp, QString());
  if (parser.isSet(version)) {
    return End(0, QStringLiteral("vimbra-generator " VIMBRA_VERSION "\n"), QString());
  }
  return {};
}
