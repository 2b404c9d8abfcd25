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
#include "ui/toolkit/CheckBox.h"
#include "ui/toolkit/Controls.h"
#include "ui/toolkit/Edit.h"
#include "ui/toolkit/RadioGroup.h"
#include "ui/toolkit/ScrollBar.h"

namespace {

using Calls = std::vector<std::string>;

// A key, the tone's state before it, the library call it makes and how far it moves the
// frequency and amplitude bars once the generator is unlocked. An edit box keeps Ctrl+Left/Right.
struct Key {
  const char* name;
  QKeyCombination key;
  bool playing;
  const char* call;
  int frequencyStep, amplitudeStep;
};

const Key kKeys[] = {
    {"Esc", QKeyCombination(Qt::Key_Escape), true, "ChannelStop(7)", 0, 0},
    {"CtrlReturn", Qt::CTRL | Qt::Key_Return, false, "StreamPlay(7,0,0)", 0, 0},
    {"CtrlKeypadEnter", Qt::ControlModifier | Qt::KeypadModifier | Qt::Key_Enter, false,
     "StreamPlay(7,0,0)", 0, 0},
    {"CtrlRight", Qt::CTRL | Qt::Key_Right, true, nullptr, 1, 0},
    {"CtrlLeft", Qt::CTRL | Qt::Key_Left, true, nullptr, -1, 0},
    {"CtrlPageUp", Qt::CTRL | Qt::Key_PageUp, true, nullptr, 1000, 0},
    {"CtrlPageDown", Qt::CTRL | Qt::Key_PageDown, true, nullptr, -1000, 0},
    {"CtrlUp", Qt::CTRL | Qt::Key_Up, true, nullptr, 0, 256},
    {"CtrlDown", Qt::CTRL | Qt::Key_Down, false, nullptr, 0, -256},
};

// Waits until the running preset has moved the frequency bar at least once.
void WaitForATick(TForm1& f) {
  const int at = f.ScrollBar1->Position();
  EXPECT_TRUE(QTest::qWaitFor([&] { return f.ScrollBar1->Position() != at; }, 10000));
}

// Where the focus is when the key comes; "Locked" is before the tick of "Ознакомился".
const char* const kPlaces[] = {"ZoneGroup", "EditBox", "EffectBox", "PresetRunning", "Locked"};

// To the focused control as the keyboard sends it: Qt asks the control whether it takes the key,
// then tries the window's shortcuts, then gives the control the key.
void Press(QKeyCombination key) {
  QTest::keyClick(static_cast<QWidget*>(nullptr), key.key(), key.keyboardModifiers());
}

class KeysTest : public FormFixture, public ::testing::WithParamInterface<std::tuple<Key, int>> {};

TEST_P(KeysTest, DoesWhatTheMouseDoesUnlessTheFocusedControlKeepsIt) {
  const auto& [key, place] = GetParam();
  const std::string where = kPlaces[place];
  const bool unlocked = where != "Locked";
  TForm1& f = unlocked ? CreateUnlockedForm() : CreateForm();
  ActivateWindow(&f);
  if (where == "EffectBox") f.SpeedButton2Click(f.SpeedButton2);  // opens the effects' panel
  if (where == "PresetRunning") {  // "Заготовки", "Серена" moves the frequency bar meanwhile
    f.CheckBox6->SetChecked(true);
    f.SpeedButton6Click(f.SpeedButton6);
    WaitForATick(f);
  }
  if (unlocked && key.playing != Playing)  // a running preset goes on ticking
    key.playing ? f.Button3Click(f.Button3) : f.SpeedButton1Click(f.SpeedButton1);
  if (unlocked) f.ScrollBar1->SetPosition(8000);  // room for a page either way
  const bool playing = Playing;
  const int frequency = f.ScrollBar1->Position(), amplitude = f.ScrollBar2->Position();
  QWidget* const focuses[] = {f.RadioGroup1->Button(0), f.Edit1, f.CheckBox1, f.CheckBox6,
                              f.CheckBox7};
  QWidget* focus = focuses[place];
  focus->setFocus(Qt::TabFocusReason);
  auto* edit = qobject_cast<QLineEdit*>(focus);
  const bool byWord = edit != nullptr && std::abs(key.frequencyStep) == 1;
  if (edit != nullptr) edit->setCursorPosition(key.frequencyStep > 0 ? 0 : 99);
  audio.calls.clear();

  Press(key.key);

  const bool acts = unlocked && !byWord;
  EXPECT_EQ(audio.calls, acts && key.call ? Calls{std::string(key.call)} : Calls{});
  EXPECT_EQ(Playing, acts && key.call ? !playing : playing);
  EXPECT_EQ(f.ScrollBar1->Position(), frequency + (acts ? key.frequencyStep : 0));
  EXPECT_EQ(f.ScrollBar2->Position(), amplitude + (acts ? key.amplitudeStep : 0));
  EXPECT_TRUE(Frequency == f.ScrollBar1->Position() && Amplitude == f.ScrollBar2->Position() &&
              f.fq->Text() == QString::number(Frequency))
      << "the bars' change handlers did not run as for the mouse";
  // The control got nothing (its arrows would move the focus), except an edit box its word keys.
  EXPECT_TRUE(!unlocked || QApplication::focusWidget() == focus) << "the control took the key";
  if (byWord) {
    EXPECT_EQ(edit->cursorPosition(), key.frequencyStep > 0 ? edit->text().size() : 0);
  }
  if (where == "PresetRunning") WaitForATick(f);  // the preset goes on
}

INSTANTIATE_TEST_SUITE_P(AllPlaces, KeysTest,
                         ::testing::Combine(::testing::ValuesIn(kKeys), ::testing::Range(0, 5)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "_" +
                                  kPlaces[std::get<1>(info.param)];
                         });

using EscTest = FormFixture;

// An open drop-down list and a message box are windows of their own: Esc closes them and leaves
// the tone playing. The next Esc, back in the window, stops it.
TEST_F(EscTest, OpenListAndMessageBoxKeepTheirEsc) {
  TForm1& f = CreateUnlockedForm();
  ActivateWindow(&f);
  f.CheckBox6->SetChecked(true);  // enables the presets' list
  f.Button3Click(f.Button3);
  audio.calls.clear();
  f.ComboBox1->setFocus();
  f.ComboBox1->showPopup();
  ASSERT_TRUE(QTest::qWaitFor([&] { return f.ComboBox1->view()->isVisible(); }));
  Press(QKeyCombination(Qt::Key_Escape));
  EXPECT_FALSE(f.ComboBox1->view()->isVisible());

  // A number beyond 32 bits in the sweep's step box brings up the error box, shown for real.
  const MessageBoxHook hook = SetMessageBoxHook({});
  bool shown = false;
  QTimer::singleShot(0, [&] {
    QWidget* box = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (box = QApplication::activeModalWidget()); }));
    ActivateWindow(box);  // as the desktop activates a new modal box
    Press(QKeyCombination(Qt::Key_Escape));
    shown = QApplication::activeModalWidget() == nullptr;
  });
  f.Edit1->setFocus();
  f.Edit1->selectAll();
  QTest::keyClicks(f.Edit1, "9999999999");
  SetMessageBoxHook(hook);
  EXPECT_TRUE(shown) << "no message box came up and closed on Esc";
  EXPECT_TRUE(Playing);
  EXPECT_TRUE(audio.calls.empty());
  ActivateWindow(&f);
  Press(QKeyCombination(Qt::Key_Escape));
  EXPECT_EQ(audio.calls, Calls{"ChannelStop(7)"});
}

}  // namespace
