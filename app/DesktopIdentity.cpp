#include "app/DesktopIdentity.h"

#include <SDL.h>

#include <cstdlib>

namespace {

// What plays, in the language of the window.
constexpr char kStreamName[] = "Синусоидальный тон";

// The role of a tone generator is that of a test tone: PulseAudio's "test" (roles that ask to be
// ducked or paused for calls and notifications are "music" and "video"; this is an instrument).
// PipeWire calls the same role "Test", and its PulseAudio layer maps one to the other.
constexpr char kPulseRole[] = "test";
constexpr char kPipeWireRole[] = "Test";

}  // namespace

void DescribeStreamToSoundServer() {
  // SDL's PulseAudio driver names the client and the stream; its PipeWire driver also the role.
  SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, kProgramName);
  SDL_SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_NAME, kStreamName);
  SDL_SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_ROLE, kPipeWireRole);
  // libpulse adds these to the client's properties when it connects; the server gives the
  // client's properties to each of its streams that has none of its own by those names.
  setenv("PULSE_PROP_application.icon_name", kIconName, 0);
  setenv("PULSE_PROP_application.id", kDesktopEntry, 0);
  setenv("PULSE_PROP_media.role", kPulseRole, 0);
}
