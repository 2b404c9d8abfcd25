// The three presets: what a start sets, the swing tick by tick, and the stop.
#include <gtest/gtest.h>

#include <QTest>
#include <ostream>
#include <string>

#include "audio/Tone.h"
#include "tests/support/FormFixture.h"
#include "ui/Form1.h"
#include "ui/toolkit/CheckBox.h"
#include "ui/toolkit/Colors.h"
#include "ui/toolkit/Controls.h"
#include "ui/toolkit/Edit.h"
#include "ui/toolkit/RadioGroup.h"
#include "ui/toolkit/ScrollBar.h"
#include "ui/toolkit/Timer.h"
#include "ui/toolkit/TrackBar.h"

namespace {

using Calls = std::vector<std::string>;

class PresetsTest : public FormFixture {
 protected:
  void SetUp() override {
    FormFixture::SetUp();
    CreateUnlockedForm();
    form->CheckBox6->SetChecked(true);
  }
  // Starts the preset at `index`; `audio.calls` then holds the calls of this start alone.
  void StartPreset(int index) {
    audio.calls.clear();
    form->ComboBox1->setCurrentIndex(index);
    form->SpeedButton6Click(form->SpeedButton6);
  }
  // One tick of the swing timer; returns the bar's position after it.
  int Tick() {
    form->ZagTimerTimer(form->ZagTimer);
    return Bar();
  }
  int Bar() const { return form->ScrollBar1->Position(); }
};

TEST_F(PresetsTest, EnableBoxReadiesTheListAndStartButton) {
  EXPECT_TRUE(form->ComboBox1->isEnabled());
  EXPECT_TRUE(form->SpeedButton6->isEnabled());
  EXPECT_EQ(FontColor(form->ComboBox1), clBlack);
  form->CheckBox6->SetChecked(false);
  EXPECT_FALSE(form->ComboBox1->isEnabled());
  EXPECT_FALSE(form->SpeedButton6->isEnabled());
  EXPECT_EQ(FontColor(form->ComboBox1), clGray);
}

// What each preset's start sets, and its swing.
struct Preset {
  const char* name;  // what its start shows
  int index, zone;
  const char* label;   // the frequency bar's caption in that zone
  int bar, amplitude;  // the start position (also the frequency value) and the level
  const char* ampText;
  unsigned interval;
  const Calls* calls;  // at the start, the window shown with the panel closed
  // With effects, TrackBar1 (delay), TrackBar3 (BPM) and TrackBar8 (auto-wah dry mix), and the
  // texts of the first and the last.
  bool effects;
  int trackBar1, trackBar3, trackBar8;
  const char *delayText, *dryText;
  // The swing: its turning positions, the moves from the start to the first upper one, and the
  // ticks of a cycle.
  int low, high, firstHighAfter, ticksPerCycle;
};

void PrintTo(const Preset& preset, std::ostream* os) {
  *os << preset.name;
}

const Calls kPlayAlone = {"StreamPlay(7,0,0)"};
const Calls kPanelStart = {"DSP_Set(7,9,3)", "DSP_Set(7,9,3)", "DSP_Set(7,12,3)", "DSP_Set(7,12,3)",
                           "StreamPlay(7,0,0)"};
const Preset kPresets[] = {
    // No effect call: the panel was closed.
    {"SerenaFromStartUp", 0, 1, "Частота (160-16000 Гц)", 1024, 26212, "79", 50, &kPlayAlone, false,
     0, 0, 0, "", "", 991, 1706, 62, 132},
    {"TortureOpensThePanelWithFlangerAndAutoWah", 1, 2, "Частота (16000-22050 Гц)", 20000, 32767,
     "100", 50, &kPanelStart, true, 25, 120, -20, "2.5", "-2", 20000, 22050, 82, 166},
    {"FearUsesTheFullSpectrumAndThirtyMilliseconds", 2, 0, "Частота (1-22050 Гц)", 10, 32767, "100",
     30, &kPanelStart, true, 11, 800, 20, "1.1", "2", 10, 250, 240, 482},
};

class EachPresetTest : public PresetsTest, public ::testing::WithParamInterface<Preset> {};

TEST_P(EachPresetTest, StartSetsTheZoneTheLevelTheTimerAndTheEffects) {
  const Preset& p = GetParam();
  audio.calls.clear();
  form->show();
  EXPECT_TRUE(audio.calls.empty()) << "showing the window calls the audio library";
  StartPreset(p.index);
  EXPECT_EQ(form->RadioGroup1->ItemIndex(), p.zone);
  EXPECT_EQ(form->Label1->text(), p.label);
  EXPECT_EQ(Bar(), p.bar);
  EXPECT_EQ(Frequency.load(), p.bar);
  EXPECT_EQ(Amplitude.load(), p.amplitude);
  EXPECT_EQ(form->amp->Text(), p.ampText);
  EXPECT_EQ(form->ZagTimer->Interval(), p.interval);
  EXPECT_TRUE(Playing);
  EXPECT_EQ(audio.calls, *p.calls);
  EXPECT_FALSE(form->ComboBox1->isEnabled());
  EXPECT_FALSE(form->SpeedButton6->isEnabled());
  EXPECT_TRUE(form->SpeedButton7->isEnabled());
  EXPECT_TRUE(form->Swing.PresetActive);
  if (!p.effects) return;
  EXPECT_EQ(form->frameGeometry().width(), 623);
  EXPECT_TRUE(form->CheckBox1->Checked());
  EXPECT_FALSE(form->CheckBox2->Checked());
  EXPECT_TRUE(form->CheckBox3->Checked());
  EXPECT_EQ(form->TrackBar1->Position(), p.trackBar1);
  EXPECT_EQ(form->TrackBar3->Position(), p.trackBar3);
  EXPECT_EQ(form->TrackBar8->Position(), p.trackBar8);
  EXPECT_EQ(form->StaticText1->text(), p.delayText);
  EXPECT_EQ(form->StaticText8->text(), p.dryText);
}

TEST_P(EachPresetTest, SwingTurnsAtItsPositionsWithTheCycleLength) {
  const Preset& s = GetParam();
  StartPreset(s.index);
  int moves = 0;
  while (Bar() < s.high) {
    Tick();
    ++moves;
    ASSERT_LT(moves, 1000);
  }
  EXPECT_EQ(Bar(), s.high);
  EXPECT_EQ(moves, s.firstHighAfter);

  // One full cycle from the upper turning point: rest, down, rest, up.
  std::vector<int> path;
  for (int i = 0; i < s.ticksPerCycle; ++i) {
    path.push_back(Tick());
  }
  EXPECT_EQ(*std::min_element(path.begin(), path.end()), s.low);
  EXPECT_EQ(*std::max_element(path.begin(), path.end()), s.high);
  EXPECT_EQ(path.front(), s.high);  // the turning tick rests
  EXPECT_EQ(path.back(), s.high);   // back at the top after exactly one cycle
  EXPECT_NE(path[path.size() - 2], s.high);
  EXPECT_EQ(std::count(path.begin(), path.end(), s.low), 2);  // arrives, rests one tick
}

INSTANTIATE_TEST_SUITE_P(AllPresets, EachPresetTest, ::testing::ValuesIn(kPresets),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PresetsTest, SerenaClosesAnOpenPanelAndDropsItsEffects) {
  form->SpeedButton2Click(form->SpeedButton2);
  form->CheckBox2->SetChecked(true);
  StartPreset(0);
  EXPECT_FALSE(form->CheckBox2->Checked());
  EXPECT_TRUE(form->SpeedButton2->isEnabled());
  EXPECT_EQ(audio.CallsStartingWith("DSP_Remove"), (Calls{"DSP_Remove(7,15)", "DSP_Remove(7,15)"}));
}

TEST_F(PresetsTest, TortureTurnsEchoOffAndLeavesAFlangerThatIsOnAlone) {
  form->CheckBox1->SetChecked(true);
  form->CheckBox2->SetChecked(true);
  StartPreset(1);
  EXPECT_TRUE(audio.CallsStartingWith("DSP_Set(7,9").empty());
  EXPECT_EQ(audio.CallsStartingWith("DSP_Remove"), (Calls{"DSP_Remove(7,15)", "DSP_Remove(7,15)"}));
  EXPECT_FALSE(form->CheckBox2->Checked());
}

TEST_F(PresetsTest, APresetStartedWhilePlayingKeepsThePhase) {
  form->Button3Click(form->Button3);
  Phase = 42.5;
  StartPreset(0);
  EXPECT_TRUE(audio.CallsStartingWith("StreamPlay").empty());
  EXPECT_EQ(Phase.load(), 42.5);
}

TEST_F(PresetsTest, AudibleZoneDuringTortureHoldsTheBarAt16000) {
  StartPreset(1);
  form->RadioGroup1->SetItemIndex(1);
  EXPECT_EQ(Bar(), 16000);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(Tick(), 16000);
  }
  EXPECT_TRUE(form->Swing.PresetActive);
}

TEST_F(PresetsTest, StopStopsTheToneAndRemovesEachTickedEffectInOrder) {
  form->Button3Click(form->Button3);  // started by the user before the preset
  StartPreset(1);
  audio.calls.clear();
  form->SpeedButton7Click(form->SpeedButton7);
  EXPECT_EQ(audio.calls,
            (Calls{"ChannelStop(7)", "DSP_Remove(7,9)", "DSP_Remove(7,12)", "DSP_Remove(7,9)",
                   "DSP_Remove(7,9)", "DSP_Remove(7,12)", "DSP_Remove(7,12)"}));
  EXPECT_FALSE(Playing);
  EXPECT_FALSE(form->Swing.PresetActive);
  EXPECT_FALSE(form->CheckBox1->Checked());
  EXPECT_TRUE(form->ComboBox1->isEnabled());
  EXPECT_TRUE(form->SpeedButton6->isEnabled());
  EXPECT_FALSE(form->SpeedButton7->isEnabled());
  // The swing's last state stays.
  EXPECT_EQ(Bar(), 20000);
  EXPECT_EQ(Tick(), 20000);
}

TEST_F(PresetsTest, UntickingTheEnableBoxWhileRunningChangesOnlyItsTick) {
  StartPreset(0);
  form->CheckBox6->SetChecked(false);
  EXPECT_FALSE(form->ComboBox1->isEnabled());
  EXPECT_FALSE(form->SpeedButton6->isEnabled());
  form->SpeedButton7Click(form->SpeedButton7);
  EXPECT_TRUE(form->ComboBox1->isEnabled());
  EXPECT_TRUE(form->SpeedButton6->isEnabled());
  EXPECT_FALSE(form->CheckBox6->Checked());
}

TEST_F(PresetsTest, ARestartRisesAgainFromTheStartPosition) {
  StartPreset(2);
  while (Bar() < 250) Tick();
  Tick();  // turn: now falling
  Tick();
  EXPECT_FALSE(form->Swing.PresetRising);
  form->SpeedButton7Click(form->SpeedButton7);
  StartPreset(2);
  EXPECT_TRUE(form->Swing.PresetRising);
  EXPECT_EQ(Bar(), 10);
  EXPECT_EQ(Tick(), 11);
}

// While the error box of a failed tone start waits, the swing already moves.
TEST_F(PresetsTest, TheSwingRunsWhileAStartErrorBoxIsOpen) {
  audio.playResult = false;
  int barWhileBoxOpen = 0;
  SetMessageBoxHook([&](const MessageBoxCall&) {
    // A modal box runs the event loop: wait in it until the real timer has ticked.
    static_cast<void>(QTest::qWaitFor([&] { return Bar() != 1024; }, 10000));  // checked below
    barWhileBoxOpen = Bar();
  });
  StartPreset(0);
  EXPECT_GT(barWhileBoxOpen, 1024);
  EXPECT_TRUE(form->Swing.PresetActive);
}

}  // namespace
