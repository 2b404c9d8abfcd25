#include <gtest/gtest.h>

#include "app/CommandLine.h"

TEST(CommandLineTest, OpensTheWindowOrEndsWithItsStatus) {
  constexpr int kOpensWindow = -1;
  struct Case {
    QStringList arguments;  // after the program's name
    int exitCode;           // or kOpensWindow
    QString printed;  // a part of standard output (status 0) or of standard error; empty: nothing
  };
  const Case cases[] = {
      {{}, kOpensWindow, {}},
      {{"--help"}, 0, "Usage: vimbra-generator [options]\n"},
      {{"-v"}, 0, "vimbra-generator 0.2\n"},
      {{"-platform", "wayland", "--style=fusion", "-reverse", "-display", ":1"}, kOpensWindow, {}},
      {{"-title", "Tone", "-name", "tone", "-testability"}, kOpensWindow, {}},
      {{"-platform"}, 2, "'-platform'"},
      {{"-platform", "xcb", "--no-such-option"}, 2, "Unknown option 'no-such-option'."},
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
}
