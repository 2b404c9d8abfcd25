#pragma once

#include <atomic>

#include "audio/OutputWatchdog.h"

struct pa_threaded_mainloop;
struct pa_context;
struct pa_stream;
struct pa_mainloop_api;
struct pa_time_event;

// The system's default output through the sound server's own client library (libpulse's
// asynchronous API, which PulseAudio and PipeWire's PulseAudio layer both serve). The stream is
// never pinned to a device, so the server moves it when the user picks another output.
//
// Three numbers are kept apart here. The server holds kBufferMs of sound ahead of what plays
// (tlength): the margin against a stalled thread, since a plain client on these machines plays
// gaps under full load with 10 ms and none with 20 ms. The server asks for more whenever
// kRequestMs have played (minreq), and the mixer computes just that much: a change waits for the
// next small request, not for a whole buffer. What is heard lags by about the buffer. libpulse's
// PULSE_LATENCY_MSEC, where the user sets it, replaces both.
//
// Mixers show the client and its stream by the names libpulse takes from the environment:
// PULSE_PROP_application.name (libpulse falls back to the program file's name) and
// PULSE_PROP_media.name ("Tone" without it).
//
// The mixer is called on libpulse's own thread, which holds libpulse's lock meanwhile; the
// window's thread takes that lock only for a pause or a start.
class PulseOutputDevice : public OutputDevice {
 public:
  static constexpr int kBufferMs = 20;
  static constexpr int kRequestMs = 4;

  ~PulseOutputDevice() override { Close(); }

  bool Open(Mixer& mixer) override;
  bool Lost() override { return lost_.load(std::memory_order_acquire); }
  // A pause takes effect once what the server holds has played (a fade-out is not cut off): the
  // stream is corked two buffers and 50 ms later, and the server asks for nothing more. A start
  // plays on from there: the silence the corked stream holds, then the sound, one buffer after the
  // start as every change is. (Dropping that silence would not make it sooner: the server would
  // skip the first moments of the sound instead.) Pausing a paused output or starting a playing one
  // changes nothing.
  void Pause(bool pause) override;
  void Close() override;

 private:
  static void OnContextState(pa_context* context, void* self);
  static void OnStreamState(pa_stream* stream, void* self);
  static void OnWrite(pa_stream* stream, size_t bytes, void* self);
  static void OnCorkTime(pa_mainloop_api* api, pa_time_event* event, const struct timeval* time,
                         void* self);
  // Waits, with libpulse's lock held, until `ready` or `failed` says yes; false if it failed.
  template <class Ready, class Failed>
  bool WaitUntil(Ready ready, Failed failed);

  pa_threaded_mainloop* loop_ = nullptr;
  pa_context* context_ = nullptr;
  pa_stream* stream_ = nullptr;
  Mixer* mixer_ = nullptr;
  bool paused_ = true;             // as the window last asked
  bool corked_ = true;             // the server holds the stream: the mixer is not asked
  pa_time_event* cork_ = nullptr;  // set while a pause waits for the buffer to play out
  std::atomic<bool> lost_{false};
};
