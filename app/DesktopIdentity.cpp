#include "app/DesktopIdentity.h"

#include <cstdlib>

namespace {

// What plays, in the language of the window.
constexpr char kStreamName[] = "Синусоидальный тон";

// The role of a tone generator is that of a test tone: PulseAudio's "test" (roles that ask to be
// ducked or paused for calls and notifications are "music" and "video"; this is an instrument).
// PipeWire calls the same role "Test", and its PulseAudio layer maps one to the other.
constexpr char kPulseRole[] = "test";

}  // namespace

void DescribeStreamToSoundServer() {
  // libpulse adds these to the client's properties when it connects, and the server gives the
  // client's properties to each of its streams that has none of its own by those names. The
  // audio library names the client and the stream from the first two.
  setenv("PULSE_PROP_application.name", kProgramName, 0);
  setenv("PULSE_PROP_media.name", kStreamName, 0);
  setenv("PULSE_PROP_application.icon_name", kIconName, 0);
  setenv("PULSE_PROP_application.id", kDesktopEntry, 0);
  setenv("PULSE_PROP_media.role", kPulseRole, 0);
}
