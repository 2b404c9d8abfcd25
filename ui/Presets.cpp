#include "audio/AudioLibrary.h"
#include "ui/Form1.h"
#include "ui/toolkit/CheckBox.h"
#include "ui/toolkit/Colors.h"
#include "ui/toolkit/Controls.h"
#include "ui/toolkit/RadioGroup.h"
#include "ui/toolkit/ScrollBar.h"
#include "ui/toolkit/Timer.h"
#include "ui/toolkit/TrackBar.h"

namespace {

// The settings one preset starts with.
struct Preset {
  int zone;
  int32_t low;
  int32_t high;
  int32_t step;
  unsigned interval;
  int frequency;
  int amplitude;
  bool effects;      // opens the panel with flanger and auto-wah on, echo off
  int trackBars[5];  // TrackBar1, TrackBar2, TrackBar3, TrackBar7, TrackBar8
};

constexpr Preset kPresets[] = {
    {1, 1000, 1700, 11, 50, 1024, 26212, false, {}},                       // "Серена"
    {2, 20000, 22050, 25, 50, 20000, 32767, true, {25, 10, 120, 6, -20}},  // "Пытка Ультрозвуком"
    {0, 10, 250, 1, 30, 10, 32767, true, {11, 10, 800, 0, 20}},  // "Страх"
};

}  // namespace

// The presets' controls, all disabled until "Заготовки" is enabled and ticked. Their timer runs
// from the start and acts only while a preset runs.
void TForm1::CreatePresetControls() {
  CheckBox6 = Place(new TCheckBox(QStringLiteral("Заготовки"), this), 184, 192, 161, 25);
  ComboBox1 = Place(new TComboBox({QStringLiteral("Серена"), QStringLiteral("Пытка Ультрозвуком"),
                                   QStringLiteral("Страх")},
                                  this),
                    184, 216, 161, 21);
  ComboBox1->setCurrentIndex(0);
  ComboBox1->SetItemHeight(13);
  SetColor(ComboBox1, clSilver);
  SetFontColor(ComboBox1, clGray);
  SpeedButton6 = Place(new TSpeedButton(QStringLiteral("Пуск заготовки"), this), 352, 248, 113, 25);
  SpeedButton7 = Place(new TSpeedButton(QStringLiteral("Стоп заготовки"), this), 352, 272, 113, 25);
  SetEnabledAll({CheckBox6, ComboBox1, SpeedButton6, SpeedButton7}, false);
  ZagTimer = new TTimer(100, true, this);
}

void TForm1::CheckBox6Click(QObject* /*sender*/) {
  if (SpeedButton7->isEnabled()) return;  // a preset runs: only the tick changes
  const bool ready = CheckBox6->Checked();
  SpeedButton6->setEnabled(ready);
  SetFontColor(ComboBox1, ready ? clBlack : clGray);
  ComboBox1->setEnabled(ready);
}

void TForm1::SpeedButton6Click(QObject* /*sender*/) {
  ComboBox1->setEnabled(false);
  SpeedButton6->setEnabled(false);
  SpeedButton7->setEnabled(true);

  const int index = ComboBox1->currentIndex();
  if (index < 0 || index >= static_cast<int>(std::size(kPresets))) return;
  const Preset& preset = kPresets[index];

  RadioGroup1->SetItemIndex(preset.zone);
  RadioGroup1Click(RadioGroup1);
  if (!preset.effects && SpeedButton3->isEnabled()) SpeedButton3Click(SpeedButton3);

  Swing.Start(preset.low, preset.high, preset.step);
  ZagTimer->SetInterval(preset.interval);
  ScrollBar1->SetPosition(preset.frequency);
  ScrollBar2->SetPosition(preset.amplitude);

  if (preset.effects) {
    if (SpeedButton2->isEnabled()) SpeedButton2Click(SpeedButton2);
    SwitchEffectBox(CheckBox1, true, &TForm1::CheckBox1Click);
    SwitchEffectBox(CheckBox2, false, &TForm1::CheckBox2Click);
    SwitchEffectBox(CheckBox3, true, &TForm1::CheckBox3Click);
    TrackBar1->SetPosition(preset.trackBars[0]);
    TrackBar2->SetPosition(preset.trackBars[1]);
    TrackBar3->SetPosition(preset.trackBars[2]);
    TrackBar7->SetPosition(preset.trackBars[3]);
    TrackBar8->SetPosition(preset.trackBars[4]);
  }
  if (Button3->isEnabled()) Button3Click(Button3);
}

void TForm1::SpeedButton7Click(QObject* /*sender*/) {
  ComboBox1->setEnabled(true);
  if (SpeedButton1->isEnabled()) SpeedButton1Click(SpeedButton1);
  if (CheckBox1->Checked()) Bass().DSP_Remove(Stream, kEffectFlanger);
  if (CheckBox2->Checked()) Bass().DSP_Remove(Stream, kEffectEcho);
  if (CheckBox3->Checked()) Bass().DSP_Remove(Stream, kEffectAutoWah);
  if (SpeedButton3->isEnabled()) SpeedButton3Click(SpeedButton3);
  Swing.PresetActive = false;
  SpeedButton7->setEnabled(false);
  SpeedButton6->setEnabled(true);
}

// One swing tick: the bar moves toward the turning position and rests one tick there.
void TForm1::ZagTimerTimer(QObject* /*sender*/) {
  if (const std::optional<int> position = Swing.Tick(ScrollBar1->Position()))
    ScrollBar1->SetPosition(*position);
}
