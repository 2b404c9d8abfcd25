#include <QCoreApplication>

#include "audio/AudioLibrary.h"
#include "audio/Tone.h"
#include "ui/Form1.h"
#include "ui/Images.h"
#include "ui/toolkit/Controls.h"
#include "ui/toolkit/MessageBox.h"

bool Playing = false;

// The generator buttons, each with a two-state glyph, all disabled until their areas enable them.
void TForm1::CreateGeneratorButtons() {
  struct ButtonRow {
    TSpeedButton** button;
    const char* caption;
    int top, height;
    Glyph glyph;
  };
  const ButtonRow buttons[] = {
      {&Button3, "Пуск", 8, 27, Glyph::Play},
      {&SpeedButton1, "Стоп", 34, 27, Glyph::Stop},
      {&SpeedButton2, "Эффекты", 60, 27, Glyph::Effects},
      {&SpeedButton3, "Чистый  ", 86, 26, Glyph::Clean},
  };
  for (const ButtonRow& row : buttons) {
    *row.button =
        Place(new TSpeedButton(QString::fromUtf8(row.caption), this), 8, row.top, 113, row.height);
    (*row.button)->SetGlyph(GlyphImage(row.glyph, true), GlyphImage(row.glyph, false));
    (*row.button)->setEnabled(false);
  }
}

// Audio start-up: version, device, then the one user stream. The first failure is reported
// and ends the start-up; there is no retry.
void TForm1::InitSB() {
  if (Bass().GetVersion() != 2) {
    ShowBassError(QStringLiteral("BASS version 2.0 was not loaded"));
    return;
  }
  if (!Bass().Init(1, 44100, 0, this, nullptr)) {
    ShowBassError(QStringLiteral("Could not initialize BASS"));
    return;
  }
  Stream = Bass().StreamCreate(22050, 2, 0, ToneStreamProc, nullptr);
  if (Stream == 0) ShowBassError(QStringLiteral("Could not create user stream"));
}

void TForm1::ShowBassError(const QString& message) {
  const uint32_t code = Bass().ErrorGetCode();
  ShowMessageBox(
      this, QStringLiteral("BASS Error"),
      message + QStringLiteral("\r\n(error code: ") + QString::number(code) + QStringLiteral(")"),
      MsgIcon::Error);
}

void TForm1::FormCreate(QObject* /*sender*/) {
  // The library tells of a lost or returned output on a thread of its own; the news is handed
  // to the window's thread, where it reaches the window that exists then.
  Bass().SetOutputWatcher([](bool lost) {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [lost] {
          if (Form1 != nullptr) Form1->OutputChange(lost);
        },
        Qt::QueuedConnection);
  });
  InitSB();
  Frequency.store(kStartFrequency, std::memory_order_relaxed);
  Amplitude.store(kStartAmplitude, std::memory_order_relaxed);
  AnnounceTone();  // the state the desktop pieces start from
}

void TForm1::FormClose(QObject* /*sender*/) {
  Bass().Free();
}

// "Пуск"; the presets also call it while the tone already plays.
void TForm1::Button3Click(QObject* /*sender*/) {
  SpeedButton1->setEnabled(true);
  if (!Playing) {
    // The stream is stopped, so the audio thread does not touch Phase now.
    Phase.store(0, std::memory_order_relaxed);
    if (!Bass().StreamPlay(Stream, false, 0)) {
      ShowBassError(QStringLiteral("Could not start stream playback"));
      return;
    }
    Button3->setEnabled(false);
    Playing = true;
    AnnounceTone();
  }
  Brush();
}

// "Стоп": the stream stops (fading out in the library, so it does not click); Phase keeps its
// value and the effects stay on the stream.
void TForm1::SpeedButton1Click(QObject* /*sender*/) {
  if (!Playing) return;
  Bass().ChannelStop(Stream);
  Playing = false;
  Button3->setEnabled(true);
  SpeedButton1->setEnabled(false);
  AnnounceTone();
}

// The library keeps the streams' state and resumes them when the output is back, so the
// buttons stay as they are; only the desktop learns that the tone is not heard meanwhile.
void TForm1::OutputChange(bool lost) {
  outputLost_ = lost;
  AnnounceTone();
}

void TForm1::AnnounceTone() {
  const ToneState now{Playing, ToneHeard(), Frequency.load(std::memory_order_relaxed)};
  if (now == toldTone_) return;
  toldTone_ = now;
  emit ToneChanged();
}
