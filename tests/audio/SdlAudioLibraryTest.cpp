// The SDL2 audio library on SDL's dummy driver (CTest sets SDL_AUDIODRIVER=dummy): no sound
// server is needed, yet the device thread calls back at the real rate.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "audio/SdlAudioLibrary.h"
#include "audio/effects/EffectParams.h"
#include "tests/support/WaitFor.h"

namespace {

std::atomic<int> procCalls{0};
std::atomic<int16_t> procValue{0};

// A stream proc that counts its calls and fills with a constant.
uint32_t CountingProc(uint32_t /*handle*/, void* buffer, uint32_t length, void* /*user*/) {
  procCalls.fetch_add(1);
  auto* values = static_cast<int16_t*>(buffer);
  const int16_t value = procValue.load();
  for (uint32_t i = 0; i < length / 2; ++i) values[i] = value;
  return length;
}

// Waits until the proc has been called `calls` times beyond `from`.
bool WaitForCalls(int from, int calls) {
  return WaitFor([&] { return procCalls.load() >= from + calls; });
}

class SdlAudioLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::getenv("SDL_AUDIODRIVER") == nullptr) setenv("SDL_AUDIODRIVER", "dummy", 1);
    procCalls.store(0);
    procValue.store(1000);
  }

  // Init and one stream of `library` (the test's own by default), as the program starts up.
  uint32_t StartUp() { return StartUp(audio); }
  static uint32_t StartUp(SdlAudioLibrary& library) {
    EXPECT_TRUE(library.Init(1, 44100, 0, nullptr, nullptr)) << library.ErrorGetCode();
    const uint32_t stream = library.StreamCreate(22050, 2, 0, &CountingProc, nullptr);
    EXPECT_NE(stream, 0u) << library.ErrorGetCode();
    return stream;
  }
  // The proc is not called over `ms` milliseconds.
  static bool Silent(int ms = 50) {
    const int before = procCalls.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return procCalls.load() == before;
  }

  SdlAudioLibrary audio;
};

TEST_F(SdlAudioLibraryTest, VersionIsTwo) {
  EXPECT_EQ(audio.GetVersion(), 2u);
}

TEST_F(SdlAudioLibraryTest, InitAcceptsOnlyTheDefaultDeviceAndOnlyOnce) {
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

TEST_F(SdlAudioLibraryTest, LeavesTerminationSignalsToTheProgram) {
  ASSERT_TRUE(audio.Init(1, 44100, 0, nullptr, nullptr));
  for (int signal : {SIGINT, SIGTERM}) {
    struct sigaction action {};
    ASSERT_EQ(sigaction(signal, nullptr, &action), 0);
    EXPECT_EQ(action.sa_handler, SIG_DFL) << "signal " << signal;
  }
}

TEST_F(SdlAudioLibraryTest, StreamCreateNeedsInitTheStreamFormatAndAProc) {
  EXPECT_EQ(audio.StreamCreate(22050, 2, 0, &CountingProc, nullptr), 0u);
  EXPECT_EQ(audio.ErrorGetCode(), kErrorInit);

  ASSERT_TRUE(audio.Init(1, 44100, 0, nullptr, nullptr));
  EXPECT_EQ(audio.StreamCreate(44100, 2, 0, &CountingProc, nullptr), 0u);
  EXPECT_EQ(audio.ErrorGetCode(), kErrorFormat);
  EXPECT_EQ(audio.StreamCreate(22050, 1, 0, &CountingProc, nullptr), 0u);
  EXPECT_EQ(audio.ErrorGetCode(), kErrorFormat);
  EXPECT_EQ(audio.StreamCreate(22050, 2, 0x100, &CountingProc, nullptr), 0u);
  EXPECT_EQ(audio.ErrorGetCode(), kErrorFormat);
  EXPECT_EQ(audio.StreamCreate(22050, 2, 0, nullptr, nullptr), 0u);
  EXPECT_EQ(audio.ErrorGetCode(), kErrorIllegalParam);

  const uint32_t first = audio.StreamCreate(22050, 2, 0, &CountingProc, nullptr);
  EXPECT_NE(first, 0u);
  EXPECT_EQ(audio.ErrorGetCode(), kErrorOk);
  const uint32_t second = audio.StreamCreate(22050, 2, 0, &CountingProc, nullptr);
  EXPECT_NE(second, 0u);
  EXPECT_NE(second, first);
}

TEST_F(SdlAudioLibraryTest, StreamIsCreatedStopped) {
  StartUp();
  EXPECT_TRUE(Silent(100));
  EXPECT_EQ(procCalls.load(), 0);
}

// Calls on a started-up library (`stream` is its stream), each with the error code it must leave:
// a call leaving kErrorOk must succeed, any other must fail.
struct Call {
  const char* what;
  bool (*run)(SdlAudioLibrary& audio, uint32_t stream);
  uint32_t code;
};
struct CallCase {
  const char* name;
  std::vector<Call> calls;
};
using Lib = SdlAudioLibrary;
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

class SdlAudioLibraryCallTest : public SdlAudioLibraryTest,
                                public ::testing::WithParamInterface<CallCase> {};

TEST_P(SdlAudioLibraryCallTest, LeavesItsErrorCode) {
  const uint32_t stream = StartUp();
  for (const Call& call : GetParam().calls) {
    EXPECT_EQ(call.run(audio, stream), call.code == kErrorOk) << call.what;
    EXPECT_EQ(audio.ErrorGetCode(), call.code) << call.what;
  }
}

INSTANTIATE_TEST_SUITE_P(ErrorCodes, SdlAudioLibraryCallTest, ::testing::ValuesIn(kCallCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SdlAudioLibraryTest, ProcRunsAfterPlayAndNeverAfterStopReturns) {
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

TEST_F(SdlAudioLibraryTest, PlayingTwiceKeepsOneStreamRunning) {
  const uint32_t stream = StartUp();
  ASSERT_TRUE(audio.StreamPlay(stream, false, 0));
  ASSERT_TRUE(audio.StreamPlay(stream, false, 0));
  ASSERT_TRUE(WaitForCalls(0, 2));
  EXPECT_TRUE(audio.ChannelStop(stream));
  EXPECT_TRUE(Silent());
}

TEST_F(SdlAudioLibraryTest, FreeStopsEverythingAndMayBeRepeated) {
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
TEST_F(SdlAudioLibraryTest, DestroyedWhilePlaying) {
  {
    SdlAudioLibrary other;
    ASSERT_TRUE(other.StreamPlay(StartUp(other), false, 0));
    ASSERT_TRUE(WaitForCalls(0, 1));
  }
  EXPECT_TRUE(Silent());
}

// SDL's output (the dummy driver) made one that can be taken away and given back: while `gone`
// is set, the open device counts as lost and no device opens.
class FlakyOutput : public OutputDevice {
 public:
  std::atomic<bool> gone{false};
  std::atomic<int> opened{0};
  std::atomic<int> refused{0};

  SDL_AudioDeviceID Open(const SDL_AudioSpec& want) override {
    if (gone.load()) {
      refused.fetch_add(1);
      return 0;
    }
    const SDL_AudioDeviceID device = sdl_.Open(want);
    if (device != 0) opened.fetch_add(1);
    return device;
  }
  bool Lost(SDL_AudioDeviceID device) override { return gone.load() || sdl_.Lost(device); }
  void Close(SDL_AudioDeviceID device) override { sdl_.Close(device); }

  // Takes the output away and waits until the watchdog has noticed the loss and tried to open the
  // output again, so the lost device is closed.
  bool TakeAway() {
    const int from = refused.load();
    gone.store(true);
    return WaitFor([&] { return refused.load() > from; });
  }
  // Gives the output back and waits until the watchdog has opened it again (`opens` in all).
  bool GiveBack(int opens) {
    gone.store(false);
    return WaitFor([&] { return opened.load() >= opens; });
  }

 private:
  SdlOutputDevice sdl_;
};

class SdlAudioLibraryLostOutputTest : public SdlAudioLibraryTest {
 protected:
  std::shared_ptr<FlakyOutput> output = std::make_shared<FlakyOutput>();
  std::atomic<int> losses{0}, returns{0};  // as an output watcher is told
  // The library over it, its watchdog at a fast pace so the tests need not wait seconds for it.
  SdlAudioLibrary flaky{output, std::chrono::milliseconds(2), std::chrono::milliseconds(5)};
};

TEST_F(SdlAudioLibraryLostOutputTest, PlayAndStopWhileLostSucceedAndAreHonouredOnReturn) {
  flaky.SetOutputWatcher([this](bool lost) { (lost ? losses : returns).fetch_add(1); });
  const uint32_t stream = StartUp(flaky);
  ASSERT_TRUE(flaky.StreamPlay(stream, false, 0));
  ASSERT_TRUE(WaitForCalls(0, 3));

  // Lost while playing: nothing calls back, and every call succeeds without a device.
  ASSERT_TRUE(output->TakeAway());
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
  ASSERT_TRUE(output->TakeAway());
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
TEST_F(SdlAudioLibraryLostOutputTest, CallsRaceTheWatchdogSafely) {
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

// SDL's disk driver writes what the callback mixed into a file, in the stream's own format
// (22050 Hz, 16-bit stereo), so the mixing and the fade-out can be checked value by value.
class SdlAudioLibraryOutputTest : public SdlAudioLibraryTest {
 protected:
  void SetUp() override {
    SdlAudioLibraryTest::SetUp();
    previousDriver_ = std::getenv("SDL_AUDIODRIVER");  // the base fixture has set it
    // A file of its own, so that runs side by side never write into one file.
    path_ = ::testing::TempDir() + "vimbra-sdl-XXXXXX";
    const int file = mkstemp(path_.data());
    ASSERT_NE(file, -1) << path_;
    close(file);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", path_.c_str(), 1);
  }
  void TearDown() override {
    setenv("SDL_AUDIODRIVER", previousDriver_.c_str(), 1);
    std::remove(path_.c_str());
  }

  // Everything the device played, after Free has closed it.
  std::vector<int16_t> Output() {
    std::ifstream file(path_, std::ios::binary | std::ios::ate);
    std::vector<int16_t> values(static_cast<size_t>(std::max<std::streamoff>(file.tellg(), 0)) / 2);
    file.seekg(0).read(reinterpret_cast<char*>(values.data()),
                       static_cast<std::streamsize>(values.size() * 2));
    return values;
  }

 private:
  std::string previousDriver_;
  std::string path_;
};

TEST_F(SdlAudioLibraryOutputTest, StartFadesInAndStopFadesOutOverFiveMilliseconds) {
  const int fade = 110;  // 5 ms at 22050 Hz
  procValue.store(11000);
  const uint32_t stream = StartUp();
  for (int start = 0; start < 2; ++start) {  // the second start fades in again
    SCOPED_TRACE(start == 0 ? "first start" : "second start");
    ASSERT_TRUE(audio.StreamPlay(stream, false, 0));
    ASSERT_TRUE(WaitForCalls(procCalls.load(), 3));
    ASSERT_TRUE(audio.ChannelStop(stream));
  }
  ASSERT_TRUE(audio.Free());

  const std::vector<int16_t> out = Output();
  ASSERT_FALSE(out.empty());
  // Before the first full value: silence, then a rising ramp of 5 ms on both channels from
  // exactly 0; from there on the proc's values exactly.
  const auto first = std::find(out.begin(), out.end(), 11000);
  ASSERT_NE(first, out.end());
  ASSERT_GE(first - out.begin(), 2 * fade);
  const auto rampStart = first - 2 * fade;
  for (int frame = 0; frame < fade; ++frame) {
    EXPECT_EQ(rampStart[2 * frame + 1], rampStart[2 * frame]);
    EXPECT_NEAR(rampStart[2 * frame], 11000.0 * frame / fade, 1.0) << "fade-in frame " << frame;
  }
  EXPECT_TRUE(std::all_of(out.begin(), rampStart, [](int16_t v) { return v == 0; }));
  const auto firstStop = std::find_if(first, out.end(), [](int16_t v) { return v != 11000; });
  EXPECT_GT(firstStop - first, 2 * fade);
  const auto lastFull = std::find(out.rbegin(), out.rend(), 11000).base();
  const auto secondFull = std::find(firstStop, out.end(), 11000);
  ASSERT_NE(secondFull, out.end()) << "the second start was not played";
  ASSERT_GE(secondFull - firstStop, 4 * fade);
  EXPECT_EQ(secondFull[-2 * fade], 0) << "the second start fades in from 0";
  EXPECT_NEAR(secondFull[-fade], 5500, 1.0);
  EXPECT_TRUE(std::all_of(secondFull, lastFull, [](int16_t v) { return v == 11000; }));

  // After the last full value: a falling ramp of 5 ms on both channels, ending at exactly 0,
  // then silence to the end.
  ASSERT_GE(out.end() - lastFull, 2 * fade);
  for (int frame = 0; frame < fade; ++frame) {
    EXPECT_EQ(lastFull[2 * frame + 1], lastFull[2 * frame]);
    EXPECT_NEAR(lastFull[2 * frame], 11000.0 * (fade - frame - 1) / fade, 1.0)
        << "fade frame " << frame;
  }
  EXPECT_TRUE(std::all_of(lastFull + 2 * fade, out.end(), [](int16_t v) { return v == 0; }));
}

TEST_F(SdlAudioLibraryOutputTest, StreamsAreMixedWithSaturation) {
  for (const int16_t value : {int16_t{20000}, int16_t{-20000}}) {
    procValue.store(value);
    const uint32_t first = StartUp();
    const uint32_t second = audio.StreamCreate(22050, 2, 0, &CountingProc, nullptr);
    ASSERT_TRUE(audio.StreamPlay(first, false, 0));
    ASSERT_TRUE(audio.StreamPlay(second, false, 0));
    ASSERT_TRUE(WaitForCalls(procCalls.load(), 6));
    ASSERT_TRUE(audio.Free());

    // The sum sticks at the limit of its sign; a wrapped sum would change sign.
    const std::vector<int16_t> out = Output();
    const int16_t limit = value > 0 ? INT16_MAX : INT16_MIN;
    EXPECT_NE(std::find(out.begin(), out.end(), limit), out.end()) << value;
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [&](int16_t v) { return v * value >= 0; }))
        << value;
  }
}

}  // namespace
