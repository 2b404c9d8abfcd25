#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <algorithm>

namespace {

// The exit status of a command line the program does not understand, as usage errors of
// command-line tools commonly have it.
constexpr int kUsageError = 2;

CommandLineOutcome UsageError(const QString& message) {
  return {.openWindow = false,
          .exitCode = kUsageError,
          .error = QStringLiteral("vimbra-generator: %1\n"
                                  "Try 'vimbra-generator --help' for more information.\n")
                       .arg(message)};
}

// The program's options and description.
void Describe(QCommandLineParser& parser) {
  // An unknown word after one dash (-foo) is named whole, as Qt's own options are written.
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.setApplicationDescription(QStringLiteral(
      "Kestrov Lab Vimbra Generator: a sine tone generator with sound zones and effects."));
  parser.addHelpOption();
  parser.addVersionOption();
}

}  // namespace

QString HelpOrVersionAsked(const QStringList& arguments) {
  const QStringList asked = {"--help", "-h", "--version", "-v"};
  const auto found =
      std::find_if(arguments.begin() + 1, arguments.end(),
                   [&](const QString& argument) { return asked.contains(argument); });
  return found == arguments.end() ? QString() : *found;
}

CommandLineOutcome ReadCommandLine(const QStringList& arguments) {
  QCommandLineParser parser;
  Describe(parser);
  if (!parser.parse(arguments)) return UsageError(parser.errorText());
  if (!parser.positionalArguments().isEmpty()) {
    return UsageError(
        QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().first()));
  }
  if (parser.isSet(QStringLiteral("help-all")))
    return {.openWindow = false, .helpWithQtOptions = true};
  if (parser.isSet(QStringLiteral("help")))
    return {.openWindow = false, .output = parser.helpText()};
  if (parser.isSet(QStringLiteral("version")))
    return {.openWindow = false, .output = QStringLiteral("vimbra-generator " VIMBRA_VERSION "\n")};
  return {};
}

void ShowHelpWithQtOptions(const QStringList& arguments) {
  QCommandLineParser parser;
  Describe(parser);
  parser.process(arguments);
}
