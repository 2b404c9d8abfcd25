#include "tests/support/FormFixture.h"

#include "audio/Tone.h"
#include "automation/Automation.h"
#include "ui/EffectsPanel.h"
#include "ui/Form1.h"
#include "ui/toolkit/CheckBox.h"

void ResetProgramState() {
  Frequency = 0;
  Amplitude = 0;
  Phase = 0;
  Playing = false;
  SweepStep = 1;
  PresetActive = false;
  PresetRising = false;
  PresetLow = PresetHigh = PresetStep = 0;
  EffectRecords = {};
}

void FormFixture::SetUp() {
  previousAudio_ = SetBass(&audio);
  previousHook_ = SetMessageBoxHook([this](const MessageBoxCall& call) { boxes.push_back(call); });
  ResetProgramState();
}

void FormFixture::TearDown() {
  form.reset();
  SetMessageBoxHook(previousHook_);
  SetBass(previousAudio_);
}

TForm1& FormFixture::CreateForm() {
  form = std::make_unique<TForm1>();
  return *form;
}

TForm1& FormFixture::CreateUnlockedForm() {
  CreateForm();
  form->CheckBox7->SetChecked(true);
  return *form;
}
