#pragma once

#include <cstdint>
#include <functional>

// The audio output library as the generator sees it: start-up, one user stream filled by a
// callback, play and stop, the last error code, and the effects add-on's three operations.
// The real implementation plays through the sound server (PulseAudioLibrary); tests inject a
// fake.

// Fills `length` bytes at `buffer` with signed 16-bit values and returns the byte count filled.
// Called on the library's own audio thread.
using StreamProc = uint32_t (*)(uint32_t handle, void* buffer, uint32_t length, void* user);

// Error codes answered by ErrorGetCode(). The numbers are stable: they are shown to the user.
enum AudioError : uint32_t {
  kErrorOk = 0,             // the last call succeeded
  kErrorMemory = 1,         // out of memory
  kErrorHandle = 5,         // the handle names no stream
  kErrorFormat = 6,         // unsupported stream format (rate, channels or flags)
  kErrorInit = 8,           // Init has not been called successfully
  kErrorAlready = 14,       // Init was called twice
  kErrorIllegalParam = 20,  // an argument is out of range (e.g. an unknown effect number)
  kErrorDevice = 23,        // no sound server, no output could be opened, or not device 1 / -1
};

// Effect numbers of the effects add-on.
enum EffectNumber : int {
  kEffectFlanger = 9,
  kEffectAutoWah = 12,
  kEffectEcho = 15,
};

class AudioLibrary {
 public:
  virtual ~AudioLibrary() = default;

  // Library version: 2 (0x00000002).
  virtual uint32_t GetVersion() = 0;
  // Starts output on `device` (1 = the system's default output device). Non-zero on success.
  virtual bool Init(int device, uint32_t freq, uint32_t flags, void* window, void* clsid) = 0;
  // Creates a stopped user stream filled by `proc`; returns its handle, 0 on failure.
  // flags 0 = signed 16-bit values.
  virtual uint32_t StreamCreate(uint32_t freq, uint32_t chans, uint32_t flags, StreamProc proc,
                                void* user) = 0;
  // Starts (or resumes) the stream. Non-zero on success.
  virtual bool StreamPlay(uint32_t handle, bool flush, uint32_t flags) = 0;
  // Stops the stream. Once it returns, the stream's callback is no longer running.
  virtual bool ChannelStop(uint32_t handle) = 0;
  // Code of the last error (AudioError), as a 32-bit unsigned value.
  virtual uint32_t ErrorGetCode() = 0;
  // Stops everything and releases the device and all streams.
  virtual bool Free() = 0;

  // Effects add-on: inserts `effect` (EffectNumber) into the stream's chain.
  virtual bool DSP_Set(uint32_t handle, int effect, int priority) = 0;
  // Takes `effect` out of the stream's chain.
  virtual bool DSP_Remove(uint32_t handle, int effect) = 0;
  // Copies the effect's parameter record (its layout is in effects/EffectParams.h).
  virtual bool DSP_SetParameters(uint32_t handle, int effect, const void* params) = 0;

  // Tells `watcher` true when the output device is lost and false when it is back. It is called
  // on a thread of the library's own (never the audio callback's), so it only hands the news on.
  // An empty function stops the telling. A library whose output cannot be lost never calls it.
  virtual void SetOutputWatcher(std::function<void(bool lost)> /*watcher*/) {}
};

// The library the program talks to. main() installs the real implementation; tests install a
// fake. Never null once installed.
AudioLibrary& Bass();
// Installs `library` (not owned) and returns the previous one (may be null).
AudioLibrary* SetBass(AudioLibrary* library);
