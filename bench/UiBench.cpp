// The window's per-event work on the UI thread: the preview's drawing, a frequency move (store,
// text, preview request, indicator) and one sweep tick with its change handler. The preview is
// drawn when the window paints, at most once per frame, so a move costs its request only.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "audio/Tone.h"
#include "tests/support/FakeAudioLibrary.h"
#include "ui/Form1.h"
#include "ui/toolkit/CheckBox.h"
#include "ui/toolkit/Fonts.h"
#include "ui/toolkit/MessageBox.h"
#include "ui/toolkit/PaintBox.h"
#include "ui/toolkit/ScrollBar.h"
#include "ui/toolkit/Timer.h"

namespace {

FakeAudioLibrary* audio = nullptr;

TForm1& Window() {
  static TForm1* form = [] {
    auto* f = new TForm1;
    f->show();  // as it runs: a shown window defers what it paints to its next frame
    f->CheckBox7->SetChecked(true);
    return f;
  }();
  return *form;
}

void BM_Brush(benchmark::State& state) {
  TForm1& form = Window();
  Frequency = 22050;
  Amplitude = 32767;
  for (auto _ : state) {
    form.Brush();
    form.PB->DrawIfPending();  // what the next paint does
  }
}
BENCHMARK(BM_Brush)->Unit(benchmark::kMicrosecond);

void BM_ScrollBar1Change(benchmark::State& state) {
  TForm1& form = Window();
  int position = 1;
  for (auto _ : state) {
    position = position % 22050 + 1;
    form.ScrollBar1->SetPosition(position);  // runs ScrollBar1Change
  }
}
BENCHMARK(BM_ScrollBar1Change)->Unit(benchmark::kMicrosecond);

void BM_Timer1Tick(benchmark::State& state) {
  TForm1& form = Window();
  form.CheckBox4->SetChecked(true);
  form.CheckBox5->SetChecked(true);
  form.Sweep.SweepStep = 7;
  for (auto _ : state) form.Timer1Timer(form.Timer1);
}
BENCHMARK(BM_Timer1Tick)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  RegisterFontSubstitutions();
  FakeAudioLibrary fake;
  audio = &fake;
  SetBass(&fake);
  SetMessageBoxHook([](const MessageBoxCall&) {});
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
