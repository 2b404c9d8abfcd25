// The window's keys, pressed the way the keyboard delivers them (the focused control is asked
// first), with the focus in each kind of control, against the recording fake audio library.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <string>
#include <tuple>
#include <vector>

#include "audio/Tone.h"
#include "tests/support/FormFixture.h"
#include "ui/Form1.h"
#include "ui/toolkit/CheckBox.h"
#include "ui/toolkit/Controls.h"
#include "ui/toolkit/Edit.h"
#include "ui/toolkit/RadioGroup.h"
#include "ui/toolkit/ScrollBar.h"

namespace {

using Calls = std::vector<std::string>;

// A key and what it does once the generator is unlocked, with the tone playing or stopped first.
struct Key {
  const char* name;
  Qt::Key key;
  Qt::KeyboardModifiers modifiers;
  bool playing;            // the tone's state before the key
  Calls calls;             // the library calls the key makes
  int frequencyStep;       // how far it moves the frequency bar
  int amplitudeStep;       // how far it moves the amplitude bar
  bool movesByWordInEdit;  // an edit box with the focus keeps it
};

const Key kKeys[] = {
    {"Esc", Qt::Key_Escape, Qt::NoModifier, true, {"ChannelStop(7)"}, 0, 0, false},
    // "Стоп" is disabled while the tone is stopped.
    {"EscWhileStopped", Qt::Key_Escape, Qt::NoModifier, false, {}, 0, 0, false},
    {"CtrlReturn", Qt::Key_Return, Qt::ControlModifier, false, {"StreamPlay(7,0,0)"}, 0, 0, false},
    {"CtrlKeypadEnter",
     Qt::Key_Enter,
     Qt::ControlModifier | Qt::KeypadModifier,
     false,
     {"StreamPlay(7,0,0)"},
     0,
     0,
     false},
    // "Пуск" is disabled while the tone plays.
    {"CtrlReturnWhilePlaying", Qt::Key_Return, Qt::ControlModifier, true, {}, 0, 0, false},
    {"CtrlRight", Qt::Key_Right, Qt::ControlModifier, true, {}, 1, 0, true},
    {"CtrlLeft", Qt::Key_Left, Qt::ControlModifier, true, {}, -1, 0, true},
    {"CtrlPageUp", Qt::Key_PageUp, Qt::ControlModifier, true, {}, 1000, 0, false},
    {"CtrlPageDown", Qt::Key_PageDown, Qt::ControlModifier, true, {}, -1000, 0, false},
    {"CtrlUp", Qt::Key_Up, Qt::ControlModifier, true, {}, 0, 256, false},
    {"CtrlDown", Qt::Key_Down, Qt::ControlModifier, false, {}, 0, -256, false},
};

// Where the focus is when the key comes, and what runs meanwhile.
struct Place {
  const char* name;
  bool unlocked;               // "Ознакомился" ticked
  void (*prepare)(TForm1&);    // after the window opens
  QWidget* (*focus)(TForm1&);  // the control with the focus
  bool ticking;                // a preset moves the frequency bar meanwhile
};

void Nothing(TForm1&) {}

// Waits until the preset has moved the frequency bar at least once.
void WaitForATick(TForm1& f) {
  const int at = f.ScrollBar1->Position();
  EXPECT_TRUE(QTest::qWaitFor([&] { return f.ScrollBar1->Position() != at; }, 10000))
      << "the frequency bar did not move";
}

const Place kPlaces[] = {
    {"ZoneGroup", true, Nothing, [](TForm1& f) -> QWidget* { return f.RadioGroup1->Button(0); },
     false},
    {"FrequencyBox", true, Nothing, [](TForm1& f) -> QWidget* { return f.fq; }, false},
    {"SweepStepBox", true, Nothing, [](TForm1& f) -> QWidget* { return f.Edit1; }, false},
    {"EffectBoxPanelOpen", true, [](TForm1& f) { f.SpeedButton2Click(f.SpeedButton2); },
     [](TForm1& f) -> QWidget* { return f.CheckBox1; }, false},
    {"PresetRunning", true,
     [](TForm1& f) {
       f.CheckBox6->SetChecked(true);  // "Заготовки", "Серена"
       f.SpeedButton6Click(f.SpeedButton6);
       WaitForATick(f);
     },
     [](TForm1& f) -> QWidget* { return f.CheckBox6; }, true},
    {"Locked", false, Nothing, [](TForm1& f) -> QWidget* { return f.CheckBox7; }, false},
    {"LockedSweepStepBox", false, Nothing, [](TForm1& f) -> QWidget* { return f.Edit1; }, false},
};

// Sends the key to the focused control as the keyboard does: Qt first asks that control whether
// it takes the key itself, then tries the window's shortcuts, then gives the control the key.
void Press(Qt::Key key, Qt::KeyboardModifiers modifiers) {
  QTest::keyClick(static_cast<QWidget*>(nullptr), key, modifiers);
}

class KeysTest : public FormFixture {
 protected:
  TForm1& OpenWindow(bool unlocked) {
    TForm1& f = unlocked ? CreateUnlockedForm() : CreateForm();
    ActivateWindow(&f);
    return f;
  }
};

class KeyTableTest : public KeysTest,
                     public ::testing::WithParamInterface<std::tuple<Key, Place>> {};

TEST_P(KeyTableTest, DoesWhatTheMouseDoesUnlessTheFocusedControlKeepsIt) {
  const auto& [key, place] = GetParam();
  TForm1& f = OpenWindow(place.unlocked);
  place.prepare(f);
  if (HasFatalFailure()) return;
  if (place.unlocked && key.playing != Playing) {
    // The tone as the key expects it; a running preset goes on ticking.
    if (key.playing)
      f.Button3Click(f.Button3);
    else
      f.SpeedButton1Click(f.SpeedButton1);
  }
  if (place.unlocked) f.ScrollBar1->SetPosition(8000);  // room for a page either way
  const bool playing = Playing;
  QWidget* focus = place.focus(f);
  focus->setFocus(Qt::TabFocusReason);
  ASSERT_EQ(QApplication::focusWidget(), focus);
  auto* edit = qobject_cast<QLineEdit*>(focus);
  const bool kept = edit != nullptr && key.movesByWordInEdit;
  if (edit != nullptr)
    edit->setCursorPosition(key.frequencyStep > 0 ? 0 : static_cast<int>(edit->text().size()));
  const int frequency = f.ScrollBar1->Position();
  const int amplitude = f.ScrollBar2->Position();
  audio.calls.clear();

  Press(key.key, key.modifiers);

  const bool acts = place.unlocked && !kept;
  EXPECT_EQ(audio.calls, acts ? key.calls : Calls{});
  EXPECT_EQ(Playing, acts && !key.calls.empty() ? !playing : playing);
  EXPECT_EQ(f.ScrollBar1->Position(), frequency + (acts ? key.frequencyStep : 0));
  EXPECT_EQ(f.ScrollBar2->Position(), amplitude + (acts ? key.amplitudeStep : 0));
  // The bars' change handlers ran, as for the mouse.
  EXPECT_EQ(Frequency.load(), f.ScrollBar1->Position());
  EXPECT_EQ(f.fq->Text(), QString::number(f.ScrollBar1->Position()));
  EXPECT_EQ(Amplitude.load(), f.ScrollBar2->Position());
  // The focused control got nothing (its arrow keys would move the focus). Before the gate the
  // window has no keys, and a check box moves the focus on Ctrl with an arrow as on the arrow.
  if (place.unlocked) {
    EXPECT_EQ(QApplication::focusWidget(), focus);
  }
  if (key.movesByWordInEdit && edit != nullptr) {
    EXPECT_EQ(edit->cursorPosition(), key.frequencyStep > 0 ? edit->text().size() : 0)
        << "the edit box did not move by word";
  }
  if (place.ticking) WaitForATick(f);  // the preset goes on
}

INSTANTIATE_TEST_SUITE_P(AllPlaces, KeyTableTest,
                         ::testing::Combine(::testing::ValuesIn(kKeys),
                                            ::testing::ValuesIn(kPlaces)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "_" +
                                  std::get<1>(info.param).name;
                         });

// An open drop-down list and a message box are windows of their own: Esc closes them and leaves
// the tone playing. The next Esc, back in the window, stops it.
TEST_F(KeysTest, OpenListAndMessageBoxKeepTheirEsc) {
  TForm1& f = OpenWindow(true);
  f.CheckBox6->SetChecked(true);  // enables the presets' list
  f.Button3Click(f.Button3);
  audio.calls.clear();

  f.ComboBox1->setFocus();
  f.ComboBox1->showPopup();
  ASSERT_TRUE(QTest::qWaitFor([&] { return f.ComboBox1->view()->isVisible(); }));
  Press(Qt::Key_Escape, Qt::NoModifier);
  EXPECT_FALSE(f.ComboBox1->view()->isVisible());
  EXPECT_TRUE(Playing);

  // A number beyond 32 bits typed into the sweep's step box brings up the error box, shown for
  // real here; Esc closes it.
  const MessageBoxHook hook = SetMessageBoxHook({});
  bool shown = false;
  QTimer::singleShot(0, [&] {
    QWidget* box = nullptr;
    EXPECT_TRUE(QTest::qWaitFor([&] { return (box = QApplication::activeModalWidget()); }));
    if (box == nullptr) return;
    shown = true;
    ActivateWindow(box);  // as the desktop activates a new modal box
    Press(Qt::Key_Escape, Qt::NoModifier);
  });
  f.Edit1->setFocus();
  f.Edit1->selectAll();
  QTest::keyClicks(f.Edit1, "9999999999");
  SetMessageBoxHook(hook);
  EXPECT_TRUE(shown) << "no message box came up";
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_TRUE(Playing);
  EXPECT_TRUE(audio.calls.empty());

  ActivateWindow(&f);
  Press(Qt::Key_Escape, Qt::NoModifier);
  EXPECT_EQ(audio.calls, Calls{"ChannelStop(7)"});
}

}  // namespace
