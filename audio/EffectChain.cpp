#include "audio/EffectChain.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <span>

#include "audio/AudioLibrary.h"
#include "audio/effects/DspHelpers.h"

namespace {
constexpr float kToFloat = 1.0f / 32768.0f;

// The records' fields as the effects take them (the flanger's Rate is not one of them).
Flanger::Params paramsOf(const FlangerRecord& r) noexcept {
  return {.delayMs = r.Delay, .bpm = r.BPM, .wetDry = r.WetDry};
}
Echo::Params paramsOf(const EchoRecord& r) noexcept {
  return {.dryMix = r.DryMix, .wetMix = r.WetMix, .delayMs = r.Delay};
}
AutoWah::Params paramsOf(const AutoWahRecord& r) noexcept {
  return {.dryMix = r.DryMix,
          .wetMix = r.WetMix,
          .feedback = r.FidBack,
          .rateHz = r.Rate,
          .rangeOctaves = r.Range,
          .baseHz = r.Freq};
}

// Copies a record from the caller's memory (which need not be aligned for it) to the audio thread.
template <class Record>
bool post(TripleBuffer<Record>& records, const void* record) {
  Record copy;
  std::memcpy(&copy, record, sizeof copy);
  records.write(copy);
  return true;
}

int16_t toSample(float value) noexcept {
  float scaled = value * 32768.0f;
  if (!(scaled == scaled)) scaled = 0.0f;  // NaN
  scaled = std::clamp(scaled, -32768.0f, 32767.0f);
  return static_cast<int16_t>(std::lrint(scaled));
}
}  // namespace

int EffectChain::slotOf(int effect) noexcept {
  switch (effect) {
    case kEffectFlanger:
      return kFlanger;
    case kEffectEcho:
      return kEcho;
    case kEffectAutoWah:
      return kAutoWah;
    default:
      return -1;
  }
}

void EffectChain::prepare(const dsp::Format& format, int maxBlockFrames) {
  channels_ = std::max(1, format.channels);
  maxBlockFrames_ = static_cast<size_t>(std::max(1, maxBlockFrames));
  const double rate = format.sampleRate > 0.0 ? format.sampleRate : 44100.0;
  const size_t values = maxBlockFrames_ * static_cast<size_t>(channels_);
  work_.assign(values, 0.0f);
  dry_.assign(values, 0.0f);
  // Each effect's default parameters are the panel's initial positions: it runs with them until
  // its first record arrives, which then glides from them.
  for (int slot = 0; slot < kSlots; ++slot) {
    withEffect(slot,
               [&](auto& effect) { effect.prepare({.sampleRate = rate, .channels = channels_}); });
    switches_[static_cast<size_t>(slot)].mix.prepare(rate);
  }
  reset();
}

bool EffectChain::setEnabled(int effect, bool enabled) {
  const int slot = slotOf(effect);
  if (slot < 0) return false;
  enabled_[static_cast<size_t>(slot)].store(enabled, std::memory_order_release);
  return true;
}

bool EffectChain::isEnabled(int effect) const {
  const int slot = slotOf(effect);
  return slot >= 0 && enabled_[static_cast<size_t>(slot)].load(std::memory_order_acquire);
}

bool EffectChain::setParameters(int effect, const void* record) {
  if (record == nullptr) return false;
  switch (slotOf(effect)) {
    case kFlanger:
      return post(flangerRecords_, record);
    case kEcho:
      return post(echoRecords_, record);
    case kAutoWah:
      return post(autoWahRecords_, record);
    default:
      return false;
  }
}

void EffectChain::applyPending() noexcept {
  FlangerRecord flanger;
  if (flangerRecords_.read(flanger)) flanger_.setParameters(paramsOf(flanger));
  EchoRecord echo;
  if (echoRecords_.read(echo)) echo_.setParameters(paramsOf(echo));
  AutoWahRecord wah;
  if (autoWahRecords_.read(wah)) autoWah_.setParameters(paramsOf(wah));
  for (size_t i = 0; i < kSlots; ++i) {
    switches_[i].wanted = enabled_[i].load(std::memory_order_acquire);
    switches_[i].mix.toward(switches_[i].wanted);
  }
}

// Called on the audio thread against a deadline: never allocates, locks, logs or throws.
void EffectChain::process(int16_t* interleaved, size_t frames) noexcept {
  if (work_.empty() || interleaved == nullptr) return;
  applyPending();
  if (std::none_of(switches_.begin(), switches_.end(),
                   [](const Switch& s) { return s.active(); })) {
    return;  // nothing on, nothing fading: leave the values exactly as they are
  }
  const size_t channels = static_cast<size_t>(channels_);
  for (size_t done = 0; done < frames;) {
    const size_t chunk = std::min(maxBlockFrames_, frames - done);
    const size_t values = chunk * channels;
    int16_t* samples = interleaved + done * channels;
    for (size_t i = 0; i < values; ++i) work_[i] = static_cast<float>(samples[i]) * kToFloat;
    for (int slot = 0; slot < kSlots; ++slot) {
      if (switches_[static_cast<size_t>(slot)].active()) runSlot(slot, work_.data(), chunk);
    }
    for (size_t i = 0; i < values; ++i) samples[i] = toSample(work_[i]);
    done += chunk;
  }
}

void EffectChain::runSlot(int slot, float* data, size_t frames) noexcept {
  Switch& sw = switches_[static_cast<size_t>(slot)];
  const size_t channels = static_cast<size_t>(channels_);
  const std::span<float> block(data, frames * channels);
  const bool fading = !sw.mix.settled();
  if (fading) std::copy(block.begin(), block.end(), dry_.begin());

  withEffect(slot, [block](auto& effect) { effect.process(block); });
  if (!fading) return;

  for (size_t f = 0; f < frames; ++f) {
    const float mix = sw.mix.next();
    for (size_t c = 0; c < channels; ++c) {
      const size_t i = f * channels + c;
      data[i] = dry_[i] + mix * (data[i] - dry_[i]);
    }
  }
  if (!sw.wanted && sw.mix.settled()) {
    withEffect(slot, [](auto& effect) { effect.reset(); });  // re-enabling starts clean
  }
}

void EffectChain::reset() noexcept {
  for (int slot = 0; slot < kSlots; ++slot) {
    withEffect(slot, [](auto& effect) { effect.reset(); });
    Switch& sw = switches_[static_cast<size_t>(slot)];
    sw.wanted = enabled_[static_cast<size_t>(slot)].load(std::memory_order_acquire);
    sw.mix.settle(sw.wanted);
  }
}
