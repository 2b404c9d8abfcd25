// The audio library's front end over a stand-in output that asks for sound at the real pace: no
// sound server is needed. The real output is played to a sound server in the end-to-end tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "audio/PulseAudioLibrary.h"
#include "audio/effects/EffectParams.h"
#include "tests/support/WaitFor.h"

namespace {

std::atomic<int> procCalls{0};

// A stream proc that counts its calls and fills with a constant.
uint32_t CountingProc(uint32_t /*handle*/, void* buffer, uint32_t length, void* /*user*/) {
  procCalls.fetch_add(1);
  std::fill_n(static_cast<int16_t*>(buffer), length / 2, int16_t{1000});
  return length;
}

// The output a sound server gives: a thread that asks the mixer for 4 ms of sound every 4 ms
// while the output plays.
class ClockedOutput : public OutputDevice {
 public:
  ~ClockedOutput() override { Close(); }
  bool Open(Mixer& mixer) override {
    paused_ = true;
    quit_ = false;
    thread_ = std::thread([this, &mixer] {
      std::vector<int16_t> request(88 * 2);
      for (; !quit_; std::this_thread::sleep_for(std::chrono::milliseconds(4)))
        if (!paused_) mixer.Mix(request.data(), 88);
    });
    return true;
  }
  bool Lost() override { return false; }
  void Pause(bool pause) override { paused_ = pause; }
  void Close() override {
    quit_ = true;
    if (thread_.joinable()) thread_.join();
  }

 private:
  std::atomic<bool> paused_{true}, quit_{false};
  std::thread thread_;
};

// Waits until the proc has been called `calls` times beyond `from`.
bool WaitForCalls(int from, int calls) {
  return WaitFor([&] { return procCalls.load() >= from + calls; });
}

class PulseAudioLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override { procCalls.store(0); }

  // Init and one stream of `library` (the test's own by default), as the program starts up.
  uint32_t StartUp() { return StartUp(audio); }
  static uint32_t StartUp(PulseAudioLibrary& library) {
    EXPECT_TRUE(library.Init(1, 44100, 0, nullptr, nullptr)) << library.ErrorGetCode();
    const uint32_t stream = library.StreamCreate(22050, 2, 0, &CountingProc, nullptr);
    EXPECT_NE(stream, 0u) << library.ErrorGetCode();
    return stream;
  }
  // The proc is not called over `ms` milliseconds, in which a playing stream's proc would have
  // been called a dozen times.
  static bool Silent(int ms = 50) {
    const int before = procCalls.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return procCalls.load() == before;
  }

  PulseAudioLibrary audio{std::make_shared<ClockedOutput>()};
};

TEST_F(PulseAudioLibraryTest, VersionIsTwo) {
  EXPECT_EQ(audio.GetVersion(), 2u);
}

TEST_F(PulseAudioLibraryTest, InitAcceptsOnlyTheDefaultDeviceAndOnlyOnce) {
  // Devices 2 and 0 are refused, the default device 1 is taken, and then not taken again.
  const std::pair<int, uint32_t> inits[] = {
      {2, kErrorDevice}, {0, kErrorDevice}, {1, kErrorOk}, {1, kErrorAlready}};
  for (auto [device, code] : inits) {
    EXPECT_EQ(audio.Init(device, 44100, 0, nullptr, nullptr), code == kErrorOk) << device;
    EXPECT_EQ(audio.ErrorGetCode(), code) << device;
  }
  EXPECT_TRUE(audio.Free());

  EXPECT_TRUE(audio.Init(-1, 48000, 0, nullptr, nullptr));  // -1 is the default device too
}

TEST_F(PulseAudioLibraryTest, StreamCreateNeedsInitTheStreamFormatAndAProc) {
  EXPECT_EQ(audio.StreamCreate(22050, 2, 0, &CountingProc, nullptr), 0u);
  EXPECT_EQ(audio.ErrorGetCode(), kErrorInit);

  ASSERT_TRUE(audio.Init(1, 44100, 0, nullptr, nullptr));
  for (const auto& [freq, chans, flags] : {std::tuple{44100u, 2u, 0u},
                                           {22050u, 1u, 0u},
                                           {22050u, 2u, 0x100u}}) {  // rate, channels, flags
    EXPECT_EQ(audio.StreamCreate(freq, chans, flags, &CountingProc, nullptr), 0u);
    EXPECT_EQ(audio.ErrorGetCode(), kErrorFormat);
  }
  EXPECT_EQ(audio.StreamCreate(22050, 2, 0, nullptr, nullptr), 0u);
  EXPECT_EQ(audio.ErrorGetCode(), kErrorIllegalParam);

  const uint32_t first = audio.StreamCreate(22050, 2, 0, &CountingProc, nullptr);
  EXPECT_NE(first, 0u);
  EXPECT_EQ(audio.ErrorGetCode(), kErrorOk);
  const uint32_t second = audio.StreamCreate(22050, 2, 0, &CountingProc, nullptr);
  EXPECT_NE(second, 0u);
  EXPECT_NE(second, first);
}

TEST_F(PulseAudioLibraryTest, StreamIsCreatedStopped) {
  StartUp();
  EXPECT_TRUE(Silent(100));
  EXPECT_EQ(procCalls.load(), 0);
}

// Calls on a started-up library (`stream` is its stream), each with the error code it must leave:
// a call leaving kErrorOk must succeed, any other must fail.
struct Call {
  const char* what;
  bool (*run)(PulseAudioLibrary& audio, uint32_t stream);
  uint32_t code;
};
struct CallCase {
  const char* name;
  std::vector<Call> calls;
};
using Lib = PulseAudioLibrary;
constexpr EchoRecord kEcho{5, 5, 100};

const CallCase kCallCases[] = {
    {"UnknownHandlesAreRefused",
     {{"play 0", [](Lib& a, uint32_t) { return a.StreamPlay(0, false, 0); }, kErrorHandle},
      {"play another", [](Lib& a, uint32_t s) { return a.StreamPlay(s + 1, false, 0); },
       kErrorHandle},
      {"stop another", [](Lib& a, uint32_t s) { return a.ChannelStop(s + 1); }, kErrorHandle}}},
    {"EffectCallsCheckHandleThenEffect",
     {{"set on 0", [](Lib& a, uint32_t) { return a.DSP_Set(0, kEffectEcho, 3); }, kErrorHandle},
      {"remove on 0", [](Lib& a, uint32_t) { return a.DSP_Remove(0, kEffectEcho); }, kErrorHandle},
      {"parameters on 0",
       [](Lib& a, uint32_t) { return a.DSP_SetParameters(0, kEffectEcho, &kEcho); }, kErrorHandle},
      {"set on another", [](Lib& a, uint32_t s) { return a.DSP_Set(s + 1, kEffectEcho, 3); },
       kErrorHandle},
      {"set effect 10", [](Lib& a, uint32_t s) { return a.DSP_Set(s, 10, 3); }, kErrorIllegalParam},
      {"remove effect 0", [](Lib& a, uint32_t s) { return a.DSP_Remove(s, 0); },
       kErrorIllegalParam},
      {"parameters of effect 13",
       [](Lib& a, uint32_t s) { return a.DSP_SetParameters(s, 13, &kEcho); }, kErrorIllegalParam},
      {"no parameters",
       [](Lib& a, uint32_t s) { return a.DSP_SetParameters(s, kEffectEcho, nullptr); },
       kErrorIllegalParam},
      // Setting twice and removing an absent effect are harmless successes.
      {"each effect removed while absent, then set twice",
       [](Lib& a, uint32_t s) {
         bool all = true;
         for (int effect : {kEffectFlanger, kEffectEcho, kEffectAutoWah}) {
           all = a.DSP_Remove(s, effect) && a.DSP_Set(s, effect, 3) && a.DSP_Set(s, effect, 3) &&
                 a.ErrorGetCode() == kErrorOk && all;
         }
         return all;
       },
       kErrorOk},
      {"echo parameters",
       [](Lib& a, uint32_t s) { return a.DSP_SetParameters(s, kEffectEcho, &kEcho); }, kErrorOk},
      {"echo removed", [](Lib& a, uint32_t s) { return a.DSP_Remove(s, kEffectEcho); }, kErrorOk}}},
};

class PulseAudioLibraryCallTest : public PulseAudioLibraryTest,
                                  public ::testing::WithParamInterface<CallCase> {};

TEST_P(PulseAudioLibraryCallTest, LeavesItsErrorCode) {
  const uint32_t stream = StartUp();
  for (const Call& call : GetParam().calls) {
    EXPECT_EQ(call.run(audio, stream), call.code == kErrorOk) << call.what;
    EXPECT_EQ(audio.ErrorGetCode(), call.code) << call.what;
  }
}

INSTANTIATE_TEST_SUITE_P(ErrorCodes, PulseAudioLibraryCallTest, ::testing::ValuesIn(kCallCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PulseAudioLibraryTest, ProcRunsAfterPlayAndNeverAfterStopReturns) {
  const uint32_t stream = StartUp();
  ASSERT_TRUE(audio.StreamPlay(stream, false, 0));
  EXPECT_EQ(audio.ErrorGetCode(), kErrorOk);
  ASSERT_TRUE(WaitForCalls(0, 3));

  EXPECT_TRUE(audio.ChannelStop(stream));
  EXPECT_TRUE(Silent(100));
  const int stoppedAt = procCalls.load();

  // Stopping again is harmless, and the stream plays again after a stop.
  EXPECT_TRUE(audio.ChannelStop(stream));
  ASSERT_TRUE(audio.StreamPlay(stream, false, 0));
  EXPECT_TRUE(WaitForCalls(stoppedAt, 2));
  EXPECT_TRUE(audio.ChannelStop(stream));
}

TEST_F(PulseAudioLibraryTest, PlayingTwiceKeepsOneStreamRunning) {
  const uint32_t stream = StartUp();
  ASSERT_TRUE(audio.StreamPlay(stream, false, 0));
  ASSERT_TRUE(audio.StreamPlay(stream, false, 0));
  ASSERT_TRUE(WaitForCalls(0, 2));
  EXPECT_TRUE(audio.ChannelStop(stream));
  EXPECT_TRUE(Silent());
}

TEST_F(PulseAudioLibraryTest, FreeStopsEverythingAndMayBeRepeated) {
  const uint32_t stream = StartUp();
  ASSERT_TRUE(audio.StreamPlay(stream, false, 0));
  ASSERT_TRUE(WaitForCalls(0, 1));

  EXPECT_TRUE(audio.Free());
  EXPECT_TRUE(Silent());
  const int freedAt = procCalls.load();
  EXPECT_FALSE(audio.Free());
  EXPECT_EQ(audio.ErrorGetCode(), kErrorInit);

  // The old stream is gone; a new start-up works as the first did.
  EXPECT_FALSE(audio.StreamPlay(stream, false, 0));
  EXPECT_EQ(audio.ErrorGetCode(), kErrorHandle);
  const uint32_t again = StartUp();
  ASSERT_TRUE(audio.StreamPlay(again, false, 0));
  EXPECT_TRUE(WaitForCalls(freedAt, 1));
}

// A library object destroyed while playing closes the device on its own.
TEST_F(PulseAudioLibraryTest, DestroyedWhilePlaying) {
  {
    PulseAudioLibrary other{std::make_shared<ClockedOutput>()};
    ASSERT_TRUE(other.StreamPlay(StartUp(other), false, 0));
    ASSERT_TRUE(WaitForCalls(0, 1));
  }
  EXPECT_TRUE(Silent());
}

// The clocked output made one that can be taken away and given back: while `gone` is set, the
// open output counts as lost and no output opens.
class FlakyOutput : public ClockedOutput {
 public:
  std::atomic<bool> gone{false};
  std::atomic<int> opened{0};

  bool Open(Mixer& mixer) override {
    if (gone.load()) return false;
    opened.fetch_add(1);
    return ClockedOutput::Open(mixer);
  }
  bool Lost() override { return gone.load(); }

  // Gives the output back and waits until the watchdog has opened it again (`opens` in all).
  bool GiveBack(int opens) {
    gone.store(false);
    return WaitFor([&] { return opened.load() >= opens; });
  }
};

class PulseAudioLibraryLostOutputTest : public PulseAudioLibraryTest {
 protected:
  // Takes the output away and waits until the watchdog has noticed the loss and tried to open the
  // output again, so the lost device is closed.
  bool TakeAway() {
    const int from = flaky.OpenAttempts();
    output->gone.store(true);
    return WaitFor([&] { return flaky.OpenAttempts() > from; });
  }

  std::shared_ptr<FlakyOutput> output = std::make_shared<FlakyOutput>();
  std::atomic<int> losses{0}, returns{0};  // as an output watcher is told
  // The library over it, its watchdog at a fast pace so the tests need not wait seconds for it.
  PulseAudioLibrary flaky{output, std::chrono::milliseconds(2), std::chrono::milliseconds(5)};
};

TEST_F(PulseAudioLibraryLostOutputTest, PlayAndStopWhileLostSucceedAndAreHonouredOnReturn) {
  flaky.SetOutputWatcher([this](bool lost) { (lost ? losses : returns).fetch_add(1); });
  const uint32_t stream = StartUp(flaky);
  ASSERT_TRUE(flaky.StreamPlay(stream, false, 0));
  ASSERT_TRUE(WaitForCalls(0, 3));

  // Lost while playing: nothing calls back, and every call succeeds without a device.
  ASSERT_TRUE(TakeAway());
  EXPECT_EQ(losses.load(), 1);
  EXPECT_TRUE(Silent());
  EchoRecord echo{};
  EXPECT_TRUE(flaky.DSP_Set(stream, kEffectEcho, 3));
  EXPECT_TRUE(flaky.DSP_SetParameters(stream, kEffectEcho, &echo));
  EXPECT_TRUE(flaky.ChannelStop(stream));
  EXPECT_EQ(flaky.ErrorGetCode(), kErrorOk);
  EXPECT_TRUE(flaky.StreamPlay(stream, false, 0));
  EXPECT_EQ(flaky.ErrorGetCode(), kErrorOk);
  EXPECT_TRUE(flaky.ChannelStop(stream));  // the last press counts

  // Back: the stream was stopped last, so it stays silent until played.
  ASSERT_TRUE(output->GiveBack(2));
  EXPECT_TRUE(WaitFor([&] { return returns.load() == 1; }));
  EXPECT_TRUE(Silent());
  ASSERT_TRUE(flaky.StreamPlay(stream, false, 0));
  ASSERT_TRUE(WaitForCalls(procCalls.load(), 3));

  // Lost again while playing, and a start pressed meanwhile: it plays on its own on return.
  ASSERT_TRUE(TakeAway());
  EXPECT_TRUE(Silent());
  EXPECT_TRUE(flaky.ChannelStop(stream));
  EXPECT_TRUE(flaky.StreamPlay(stream, false, 0));
  const int lostAt = procCalls.load();
  ASSERT_TRUE(output->GiveBack(3));
  EXPECT_TRUE(WaitForCalls(lostAt, 3));
  EXPECT_TRUE(flaky.ChannelStop(stream));
  EXPECT_TRUE(Silent());
  EXPECT_EQ(losses.load(), 2);
  EXPECT_TRUE(WaitFor([&] { return returns.load() == 2; }));
}

// The window's calls race the watchdog closing and opening the device (ThreadSanitizer watches
// this test in ./test): no call fails or hangs, and the stream ends as the last call left it.
TEST_F(PulseAudioLibraryLostOutputTest, CallsRaceTheWatchdogSafely) {
  const uint32_t stream = StartUp(flaky);
  std::atomic<bool> done{false};
  std::thread outages([&] {
    while (!done.load()) {
      output->gone.store(!output->gone.load());
      std::this_thread::sleep_for(std::chrono::milliseconds(7));
    }
  });
  EchoRecord echo{};
  for (int i = 0; i < 100; ++i) {
    ASSERT_TRUE(flaky.StreamPlay(stream, false, 0));
    ASSERT_TRUE(flaky.DSP_Set(stream, kEffectEcho, 3));
    ASSERT_TRUE(flaky.DSP_SetParameters(stream, kEffectEcho, &echo));
    if (i % 3 != 2) {
      ASSERT_TRUE(flaky.ChannelStop(stream));
    }
    if (i % 5 == 0) {
      ASSERT_TRUE(flaky.DSP_Remove(stream, kEffectEcho));
    }
    std::this_thread::sleep_for(std::chrono::microseconds(300));
  }
  done.store(true);
  outages.join();
  output->gone.store(false);
  ASSERT_TRUE(flaky.StreamPlay(stream, false, 0));
  EXPECT_TRUE(WaitForCalls(procCalls.load(), 3));
  EXPECT_TRUE(flaky.Free());
  EXPECT_TRUE(Silent());
}

}  // namespace
