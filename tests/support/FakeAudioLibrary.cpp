#include "tests/support/FakeAudioLibrary.h"

#include <cstring>

#include "audio/effects/EffectParams.h"

namespace {
std::string Join(std::initializer_list<long long> values) {
  std::string text;
  for (long long v : values) {
    if (!text.empty()) text += ',';
    text += std::to_string(v);
  }
  return text;
}
}  // namespace

uint32_t FakeAudioLibrary::GetVersion() {
  calls.push_back("GetVersion()");
  return version;
}

bool FakeAudioLibrary::Init(int device, uint32_t freq, uint32_t flags, void* window, void* clsid) {
  calls.push_back("Init(" + Join({device, freq, flags}) + (window ? ",window" : ",null") +
                  (clsid ? ",clsid)" : ",0)"));
  return initResult;
}

uint32_t FakeAudioLibrary::StreamCreate(uint32_t freq, uint32_t chans, uint32_t flags,
                                        StreamProc streamProc, void* user) {
  calls.push_back("StreamCreate(" + Join({freq, chans, flags}) + (streamProc ? ",proc" : ",null") +
                  (user ? ",user)" : ",0)"));
  proc = streamProc;
  return streamHandle;
}

bool FakeAudioLibrary::StreamPlay(uint32_t handle, bool flush, uint32_t flags) {
  calls.push_back("StreamPlay(" + Join({handle, flush ? 1 : 0, flags}) + ")");
  return playResult && handle != 0;
}

bool FakeAudioLibrary::ChannelStop(uint32_t handle) {
  calls.push_back("ChannelStop(" + Join({handle}) + ")");
  return true;
}

uint32_t FakeAudioLibrary::ErrorGetCode() {
  calls.push_back("ErrorGetCode()");
  return errorCode;
}

bool FakeAudioLibrary::Free() {
  calls.push_back("Free()");
  return true;
}

bool FakeAudioLibrary::DSP_Set(uint32_t handle, int effect, int priority) {
  calls.push_back("DSP_Set(" + Join({handle, effect, priority}) + ")");
  return true;
}

bool FakeAudioLibrary::DSP_Remove(uint32_t handle, int effect) {
  calls.push_back("DSP_Remove(" + Join({handle, effect}) + ")");
  return true;
}

bool FakeAudioLibrary::DSP_SetParameters(uint32_t handle, int effect, const void* params) {
  calls.push_back("DSP_SetParameters(" + Join({handle, effect}) + ")");
  size_t size = effect == kEffectFlanger   ? sizeof(FlangerRecord)
                : effect == kEffectEcho    ? sizeof(EchoRecord)
                : effect == kEffectAutoWah ? sizeof(AutoWahRecord)
                                           : 0;
  std::vector<uint8_t> bytes(size);
  if (size != 0) std::memcpy(bytes.data(), params, size);
  records.push_back(std::move(bytes));
  return true;
}

std::vector<std::string> FakeAudioLibrary::CallsStartingWith(const std::string& prefix) const {
  std::vector<std::string> matching;
  for (const auto& call : calls)
    if (call.rfind(prefix, 0) == 0) matching.push_back(call);
  return matching;
}
