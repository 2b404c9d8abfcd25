#include "audio/PulseOutput.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "audio/Mixer.h"

namespace {

constexpr size_t kFrameBytes = sizeof(int16_t) * Mixer::kChannels;

pa_usec_t Milliseconds(int ms) {
  return static_cast<pa_usec_t>(ms) * PA_USEC_PER_MSEC;
}

}  // namespace

bool PulseOutputDevice::Open(Mixer& mixer) {
  mixer_ = &mixer;
  paused_ = corked_ = true;  // the stream starts corked
  lost_.store(false, std::memory_order_release);
  loop_ = pa_threaded_mainloop_new();
  if (loop_ == nullptr) return false;
  pa_threaded_mainloop_set_name(loop_, "vimbra-audio");
  context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), nullptr);
  if (context_ == nullptr) {
    Close();
    return false;
  }
  pa_context_set_state_callback(context_, &OnContextState, this);
  // No server started on demand: without one the program reports it, and the watchdog finds
  // the server once it is there.
  if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
      pa_threaded_mainloop_start(loop_) < 0) {
    Close();
    return false;
  }
  pa_threaded_mainloop_lock(loop_);
  bool open = WaitUntil([&] { return pa_context_get_state(context_) == PA_CONTEXT_READY; },
                        [&] { return !PA_CONTEXT_IS_GOOD(pa_context_get_state(context_)); });
  const pa_sample_spec format{PA_SAMPLE_S16NE, Mixer::kRate, Mixer::kChannels};
  if (open) {
    const char* name = std::getenv("PULSE_PROP_media.name");
    stream_ = pa_stream_new(context_, name != nullptr ? name : "Tone", &format, nullptr);
    open = stream_ != nullptr;
  }
  if (open) {
    pa_stream_set_state_callback(stream_, &OnStreamState, this);
    pa_stream_set_write_callback(stream_, &OnWrite, this);
    pa_buffer_attr attributes{};
    attributes.maxlength = UINT32_MAX;
    attributes.tlength = static_cast<uint32_t>(pa_usec_to_bytes(Milliseconds(kBufferMs), &format));
    attributes.prebuf = UINT32_MAX;
    attributes.minreq = static_cast<uint32_t>(pa_usec_to_bytes(Milliseconds(kRequestMs), &format));
    attributes.fragsize = UINT32_MAX;
    const auto flags =
        static_cast<pa_stream_flags_t>(PA_STREAM_ADJUST_LATENCY | PA_STREAM_START_CORKED);
    open =
        pa_stream_connect_playback(stream_, nullptr, &attributes, flags, nullptr, nullptr) == 0 &&
        WaitUntil([&] { return pa_stream_get_state(stream_) == PA_STREAM_READY; },
                  [&] { return !PA_STREAM_IS_GOOD(pa_stream_get_state(stream_)); });
  }
  pa_threaded_mainloop_unlock(loop_);
  if (!open) Close();
  return open;
}

template <class Ready, class Failed>
bool PulseOutputDevice::WaitUntil(Ready ready, Failed failed) {
  while (!ready()) {
    if (failed()) return false;
    pa_threaded_mainloop_wait(loop_);
  }
  return true;
}

void PulseOutputDevice::Pause(bool pause) {
  if (stream_ == nullptr || pause == paused_) return;
  paused_ = pause;
  pa_threaded_mainloop_lock(loop_);
  pa_mainloop_api* api = pa_threaded_mainloop_get_api(loop_);
  if (pause) {
    // What was written last plays at the latest after the buffer and the sink's own latency,
    // which the server keeps below the buffer; the margin covers the server's scheduling.
    const pa_buffer_attr* buffer = pa_stream_get_buffer_attr(stream_);
    const pa_usec_t held =
        buffer != nullptr ? pa_bytes_to_usec(buffer->tlength, pa_stream_get_sample_spec(stream_))
                          : Milliseconds(kBufferMs);
    cork_ = pa_context_rttime_new(context_, pa_rtclock_now() + 2 * held + Milliseconds(50),
                                  &OnCorkTime, this);
  } else if (cork_ != nullptr) {  // still playing out: it simply plays on
    api->time_free(cork_);
    cork_ = nullptr;
  } else {
    corked_ = false;
    if (pa_operation* cork = pa_stream_cork(stream_, 0, nullptr, nullptr)) pa_operation_unref(cork);
  }
  pa_threaded_mainloop_unlock(loop_);
}

// On libpulse's thread: a pause's buffer has played out.
void PulseOutputDevice::OnCorkTime(pa_mainloop_api* api, pa_time_event* event,
                                   const struct timeval* /*time*/, void* self) {
  auto* device = static_cast<PulseOutputDevice*>(self);
  api->time_free(event);
  device->cork_ = nullptr;
  device->corked_ = true;
  if (pa_operation* cork = pa_stream_cork(device->stream_, 1, nullptr, nullptr))
    pa_operation_unref(cork);
}

void PulseOutputDevice::Close() {
  // Stopping the loop joins its thread: no callback runs once it returns, and what is left can
  // be freed from here.
  if (loop_ != nullptr) pa_threaded_mainloop_stop(loop_);
  if (stream_ != nullptr) {
    pa_stream_set_write_callback(stream_, nullptr, nullptr);
    pa_stream_set_state_callback(stream_, nullptr, nullptr);
    pa_stream_disconnect(stream_);
    pa_stream_unref(stream_);
    stream_ = nullptr;
  }
  if (context_ != nullptr) {
    pa_context_set_state_callback(context_, nullptr, nullptr);
    pa_context_disconnect(context_);
    pa_context_unref(context_);
    context_ = nullptr;
  }
  if (loop_ != nullptr) pa_threaded_mainloop_free(loop_);  // with its timer, if any
  loop_ = nullptr;
  cork_ = nullptr;
}

// The state callbacks run on libpulse's thread. A connection or a stream that fails or ends
// after it was ready is a lost output (the server went away, or dropped the stream).
void PulseOutputDevice::OnContextState(pa_context* context, void* self) {
  auto* device = static_cast<PulseOutputDevice*>(self);
  if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(context)))
    device->lost_.store(true, std::memory_order_release);
  pa_threaded_mainloop_signal(device->loop_, 0);
}

void PulseOutputDevice::OnStreamState(pa_stream* stream, void* self) {
  auto* device = static_cast<PulseOutputDevice*>(self);
  if (!PA_STREAM_IS_GOOD(pa_stream_get_state(stream)))
    device->lost_.store(true, std::memory_order_release);
  pa_threaded_mainloop_signal(device->loop_, 0);
}

// On libpulse's thread, against the server's deadline: the server has room for `bytes` more.
// The mixer writes straight into libpulse's buffer; a corked stream (the server fills it before
// it plays) gets silence.
void PulseOutputDevice::OnWrite(pa_stream* stream, size_t bytes, void* self) {
  auto* device = static_cast<PulseOutputDevice*>(self);
  while (bytes >= kFrameBytes) {
    void* data = nullptr;
    size_t size = bytes;
    if (pa_stream_begin_write(stream, &data, &size) < 0 || data == nullptr) return;
    size = std::min(size, bytes) / kFrameBytes * kFrameBytes;
    if (size == 0) {
      pa_stream_cancel_write(stream);
      return;
    }
    if (device->corked_)
      std::memset(data, 0, size);
    else
      device->mixer_->Mix(static_cast<int16_t*>(data), static_cast<int>(size / kFrameBytes));
    pa_stream_write(stream, data, size, nullptr, 0, PA_SEEK_RELATIVE);
    bytes -= size;
  }
}
