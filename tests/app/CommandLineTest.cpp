#include <gtest/gtest.h>

#include "app/CommandLine.h"

// The arguments as the application leaves them, Qt's own options taken out (the packaged
// program's check runs them through QApplication).
TEST(CommandLineTest, OpensTheWindowOrEndsWithItsStatus) {
  constexpr int kOpensWindow = -1;
  struct Case {
    QStringList arguments;  // after the program's name
    int exitCode;           // or kOpensWindow
    QString printed;  // a part of standard output (status 0) or of standard error; empty: nothing
  };
  const Case cases[] = {
      {{}, kOpensWindow, {}},
      {{"--help"}, 0, "-v, --version"},
      {{"-v"}, 0, "vimbra-generator 0.2\n"},
      {{"--no-such-option"}, 2, "Unknown option 'no-such-option'."},
      {{"-platform", "xcb"}, 2, "Unknown option 'platform'."},
      {{"tone.wav"}, 2, "Unexpected argument 'tone.wav'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.join(' ').toStdString());
    const CommandLineOutcome outcome =
        ReadCommandLine(QStringList{"vimbra-generator"} + c.arguments);
    EXPECT_EQ(outcome.openWindow ? kOpensWindow : outcome.exitCode, c.exitCode);
    const bool refused = c.exitCode > 0;
    const QString& printed = refused ? outcome.error : outcome.output;
    EXPECT_TRUE(c.printed.isEmpty() ? printed.isEmpty() : printed.contains(c.printed))
        << printed.toStdString();
    EXPECT_TRUE((refused ? outcome.output : outcome.error).isEmpty());
  }
  EXPECT_TRUE(ReadCommandLine({"vimbra-generator", "--help-all"}).helpWithQtOptions);
  // Before the application exists, only help and version are looked for.
  EXPECT_EQ(HelpOrVersionAsked({"vimbra-generator", "-platform", "xcb", "--version"}), "--version");
  EXPECT_EQ(HelpOrVersionAsked({"vimbra-generator", "-style", "fusion", "--helpful"}), "");
}
