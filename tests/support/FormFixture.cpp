#include "tests/support/FormFixture.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLocale>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <utility>

#include "audio/Tone.h"
#include "ui/EffectRecords.h"
#include "ui/Form1.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/CheckBox.h"
#include "ui/toolkit/FramePacer.h"
#include "ui/toolkit/PaintBox.h"

DarkDesktop::DarkDesktop() {
  QPalette dark(QColor(0x35, 0x35, 0x35));  // buttons
  const std::pair<QPalette::ColorRole, QColor> roles[] = {
      {QPalette::Window, QColor(0x2D, 0x2D, 0x2D)},
      {QPalette::Base, QColor(0x1E, 0x1E, 0x1E)},
      {QPalette::WindowText, Qt::white},
      {QPalette::Text, Qt::white},
      {QPalette::ButtonText, Qt::white},
      {QPalette::Highlight, QColor(0x15, 0x53, 0x9E)},
  };
  for (const auto& [role, colour] : roles) dark.setColor(role, colour);
  QApplication::setStyle(QStringLiteral("Windows"));
  QApplication::setPalette(dark);
}

DarkDesktop::~DarkDesktop() {
  ApplyClassicLook();
}

void ActivateWindow(QWidget* window) {
  window->show();
  window->activateWindow();
  QApplication::setActiveWindow(window);
  EXPECT_TRUE(QTest::qWaitFor([&] {
    return QApplication::activeWindow() == window &&
           QGuiApplication::focusWindow() == window->windowHandle();
  })) << "the window did not become active";
}

void ResetProgramState() {
  Frequency = 0;
  Amplitude = 0;
  Phase = 0;
  Playing = false;
  EffectRecords = {};
  Application.Title.clear();
}

ProgramSetUp::ProgramSetUp(AudioLibrary& audio) : previousAudio_(SetBass(&audio)) {
  ResetProgramState();
}

ProgramSetUp::~ProgramSetUp() {
  SetBass(previousAudio_);
}

void FormFixture::TearDown() {
  form.reset();
  // A test may switch the locale; the next starts with the one the test entry sets.
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
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

QImage FormFixture::WindowShot() {
  PaintWindow();
  return OnScreen(form.get());
}

QImage FormFixture::OnScreen(const QWidget* widget) {
  const QRect area(widget->mapTo(form.get(), QPoint(0, 0)), widget->size());
  return form->screen()
      ->grabWindow(form->winId(), area.x(), area.y(), area.width(), area.height())
      .toImage()
      .convertToFormat(QImage::Format_RGB32);
}

TPaintBox& FormFixture::DrawnPreview() {
  form->PB->DrawIfPending();
  return *form->PB;
}
