#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "audio/TripleBuffer.h"
#include "audio/effects/AutoWah.h"
#include "audio/effects/Echo.h"
#include "audio/effects/EffectParams.h"
#include "audio/effects/Flanger.h"

// The effects add-on's chain for one stream: a flanger, an echo and an auto-wah, each switched on
// and off and given parameter records from the UI thread, run in that fixed order on the audio
// thread over the stream's 16-bit values.
//
// Records travel through triple buffers and switches through atomic flags, so the audio thread
// never waits. A switch takes effect at the next block with a crossfade (dsp::Ramp) between the
// dry input and the effect's output; once an effect has faded out it is reset and skipped (and
// fades its memory's input in when it runs again, so a re-enabled echo does not click one delay
// later). With every effect off and no fade running the buffer is left exactly as it was.
class EffectChain {
 public:
  // Allocates the three effects and the buffers for blocks of up to `maxBlockFrames` (process
  // takes longer ones in pieces). Not real-time safe.
  void prepare(const dsp::Format& format, int maxBlockFrames);
  // UI thread. Effect numbers 9 (flanger), 15 (echo), 12 (auto-wah) (EffectNumber in
  // audio/AudioLibrary.h). false for an unknown number. Setting an effect that is on, or removing
  // one that is off, changes nothing.
  bool setEnabled(int effect, bool enabled);
  bool isEnabled(int effect) const;
  // UI thread: copies the record (FlangerRecord / EchoRecord / AutoWahRecord by effect number).
  // false for unknown effect or null record. The flanger record's Rate field is not used: the
  // chain runs at the rate given to prepare().
  bool setParameters(int effect, const void* record);
  // Audio thread: applies the newest records and enable flags at the start of the block, then
  // runs the enabled effects (fixed order flanger, echo, auto-wah) on the interleaved 16-bit
  // values in place, saturating to [-32768, 32767]. Handles any frame count. noexcept.
  void process(int16_t* interleaved, size_t frames) noexcept;
  // Audio thread (or while the audio thread is stopped): clears every effect's state.
  void reset() noexcept;

 private:
  enum Slot { kFlanger = 0, kEcho = 1, kAutoWah = 2, kSlots = 3 };
  static int slotOf(int effect) noexcept;

  // Audio-thread state of one effect's switch.
  struct Switch {
    dsp::Ramp mix;        // the crossfade: 0 = dry input, 1 = effect output
    bool wanted = false;  // the flag as read at the start of the block
    bool active() const noexcept { return wanted || !mix.settled(); }
  };

  void applyPending() noexcept;
  void runSlot(int slot, float* data, size_t frames) noexcept;
  // Calls `f` with the effect in `slot`.
  template <class F>
  void withEffect(int slot, F f) noexcept {
    switch (slot) {
      case kFlanger:
        return f(flanger_);
      case kEcho:
        return f(echo_);
      default:
        return f(autoWah_);
    }
  }

  Flanger flanger_;
  Echo echo_;
  AutoWah autoWah_;
  TripleBuffer<FlangerRecord> flangerRecords_;
  TripleBuffer<EchoRecord> echoRecords_;
  TripleBuffer<AutoWahRecord> autoWahRecords_;
  std::array<std::atomic<bool>, kSlots> enabled_{};
  std::array<Switch, kSlots> switches_{};
  int channels_ = 0;
  size_t maxBlockFrames_ = 0;
  std::vector<float> work_;  // one chunk as floats
  std::vector<float> dry_;   // the chunk before the effect, for crossfades
};
