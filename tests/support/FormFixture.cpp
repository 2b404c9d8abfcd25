#include "tests/support/FormFixture.h"

#include <QCoreApplication>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <utility>

#include "audio/Tone.h"
#include "automation/Automation.h"
#include "ui/EffectsPanel.h"
#include "ui/Form1.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/CheckBox.h"
#include "ui/toolkit/FramePacer.h"

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
  Application.Title.clear();
}

ProgramSetUp::ProgramSetUp(AudioLibrary& audio, MessageBoxHook onBox)
    : previousAudio_(SetBass(&audio)), previousHook_(SetMessageBoxHook(std::move(onBox))) {
  ResetProgramState();
}

ProgramSetUp::~ProgramSetUp() {
  SetMessageBoxHook(previousHook_);
  SetBass(previousAudio_);
}

void FormFixture::SetUp() {
  setUp_.emplace(audio, [this](const MessageBoxCall& call) { boxes.push_back(call); });
}

void FormFixture::TearDown() {
  form.reset();
  setUp_.reset();
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

void FormFixture::PaintWindow() {
  if (!form->isVisible()) {
    form->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }
  // A posted update request is painted now or held back for the next frame.
  QCoreApplication::sendPostedEvents();
  EXPECT_TRUE(QTest::qWaitFor([&] { return !form->FramePacer->Pending(); }, 10000))
      << "the window never painted what it held back";
  QCoreApplication::sendPostedEvents();
}

QImage FormFixture::OnScreen(const QWidget* widget) {
  const QRect area(widget->mapTo(form.get(), QPoint(0, 0)), widget->size());
  return form->screen()
      ->grabWindow(form->winId(), area.x(), area.y(), area.width(), area.height())
      .toImage()
      .convertToFormat(QImage::Format_RGB32);
}
