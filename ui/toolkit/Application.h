#pragma once

#include <QString>
#include <functional>
#include <stdexcept>
#include <string>

// The application object's part the program relies on: its title, and the report of an error
// raised inside an event handler.
struct TApplication {
  QString Title;
};
extern TApplication Application;

// Screen readers announce the running program by Application.Title (Qt's own accessible
// application would give the technical application name). Qt's application display name would
// do the same but is appended to every window title, so it stays unset.
void AnnounceApplicationTitle();

// Raised by a control for a property set it refuses ("Scrollbar property out of range").
class EToolkitError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;  // message in UTF-8
};

// Raised by StrToInt for a text that is no valid 32-bit integer.
class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;  // message in UTF-8
};

// Converts decimal text (optional sign, digits) to a signed 32-bit integer. Throws EConvertError
// "'<text>' is not a valid integer value" for anything else, including values beyond 32 bits.
int StrToInt(const QString& text);

// The application's error report: a modal box titled Application.Title with the error icon and
// one OK button, showing the message with a full stop added when it lacks one.
void ShowException(const std::exception& error);

// Runs an event handler that the user or a timer triggered. An exception ends the handler and
// goes to ShowException; the program carries on. Handlers called by other handlers run directly,
// so an error ends the whole chain, as it should.
void RunGuarded(const std::function<void()>& handler);
