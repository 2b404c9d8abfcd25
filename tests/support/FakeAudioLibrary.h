#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "audio/AudioLibrary.h"

// A recording stand-in for the audio library. Every call is logged as text, e.g.
// "StreamPlay(7,0,0)" or "DSP_SetParameters(7,9)"; results and error codes are settable.
class FakeAudioLibrary : public AudioLibrary {
 public:
  // Results.
  uint32_t version = 2;
  bool initResult = true;
  uint32_t streamHandle = 7;  // 0 makes StreamCreate fail
  bool playResult = true;
  // Error code answered by ErrorGetCode after a failed call.
  uint32_t errorCode = 0;

  std::vector<std::string> calls;
  // Copies of the records passed to DSP_SetParameters, by call.
  std::vector<std::vector<uint8_t>> records;
  StreamProc proc = nullptr;
  // Told of a lost or returned output by the test in the library's place (not logged).
  std::function<void(bool lost)> outputWatcher;

  uint32_t GetVersion() override;
  bool Init(int device, uint32_t freq, uint32_t flags, void* window, void* clsid) override;
  uint32_t StreamCreate(uint32_t freq, uint32_t chans, uint32_t flags, StreamProc proc,
                        void* user) override;
  bool StreamPlay(uint32_t handle, bool flush, uint32_t flags) override;
  bool ChannelStop(uint32_t handle) override;
  uint32_t ErrorGetCode() override;
  bool Free() override;
  bool DSP_Set(uint32_t handle, int effect, int priority) override;
  bool DSP_Remove(uint32_t handle, int effect) override;
  bool DSP_SetParameters(uint32_t handle, int effect, const void* params) override;
  void SetOutputWatcher(std::function<void(bool lost)> watcher) override {
    outputWatcher = std::move(watcher);
  }

  // The calls whose text starts with `prefix`.
  std::vector<std::string> CallsStartingWith(const std::string& prefix) const;
};
