// The window's keys. The generator's own controls ("Пуск", "Стоп" and the two scroll bars) are
// not tab stops, as the window was designed (the scroll bars take the focus only when clicked), so
// these keys reach them from wherever the focus is: Esc stops the tone, Ctrl+Enter starts it, Ctrl
// with the arrows and the page keys moves the frequency and amplitude bars. Each does what the
// mouse does on its control.
#include <QKeySequence>
#include <QShortcut>
#include <functional>
#include <initializer_list>
#include <utility>

#include "ui/Form1.h"
#include "ui/toolkit/Controls.h"
#include "ui/toolkit/ScrollBar.h"

void TForm1::CreateShortcuts() {
  // The keys belong to the window (Qt::WindowShortcut): they work while it is the active window,
  // whichever of its controls has the focus. A control that gives a key a meaning of its own
  // claims it first (Qt asks it with a ShortcutOverride event), so in an edit box Ctrl+Left and
  // Ctrl+Right still move by word. An open drop-down list or message box is a window of its own
  // and keeps its Esc.
  auto add = [this](std::initializer_list<QKeySequence> keys, bool autoRepeat,
                    std::function<void()> action) {
    auto* shortcut = new QShortcut(this);
    shortcut->setKeys(keys);
    shortcut->setContext(Qt::WindowShortcut);
    shortcut->setAutoRepeat(autoRepeat);
    shortcut->setEnabled(false);  // until the warning is acknowledged (UnlockShortcuts)
    connect(shortcut, &QShortcut::activated, this, std::move(action));
    shortcuts_.push_back(shortcut);
  };

  // A click on the button itself: the same handler, and nothing while the button is disabled.
  // A held key starts or stops once.
  add({Qt::Key_Escape}, false, [this] { SpeedButton1->click(); });
  add({Qt::CTRL | Qt::Key_Return, Qt::CTRL | Qt::Key_Enter}, false, [this] { Button3->click(); });

  // The bars move by their own steps, as their arrows and the clicks beside the thumb move them,
  // so their change handlers run as for the mouse. Higher values lie to the right (frequency) and
  // up (amplitude); Page Up raises, as on any slider.
  struct BarKey {
    Qt::Key key;
    TScrollBar* bar;
    QAbstractSlider::SliderAction action;
  };
  const BarKey barKeys[] = {
      {Qt::Key_Right, ScrollBar1, QAbstractSlider::SliderSingleStepAdd},
      {Qt::Key_Left, ScrollBar1, QAbstractSlider::SliderSingleStepSub},
      {Qt::Key_PageUp, ScrollBar1, QAbstractSlider::SliderPageStepAdd},
      {Qt::Key_PageDown, ScrollBar1, QAbstractSlider::SliderPageStepSub},
      {Qt::Key_Up, ScrollBar2, QAbstractSlider::SliderSingleStepAdd},
      {Qt::Key_Down, ScrollBar2, QAbstractSlider::SliderSingleStepSub},
  };
  for (const BarKey& k : barKeys) {
    add({Qt::CTRL | k.key}, true, [bar = k.bar, action = k.action] { bar->triggerAction(action); });
  }

  // The controls name their keys, to the eye on hover and to screen readers.
  const std::pair<QWidget*, const char*> hints[] = {
      {Button3, "Запустить тон (Ctrl+Enter)"},
      {SpeedButton1, "Остановить тон (Esc)"},
      {ScrollBar1,
       "Частота: Ctrl+Влево и Ctrl+Вправо — на 1 Гц, Ctrl+Page Down и Ctrl+Page Up — на 1000 Гц"},
      {ScrollBar2, "Амплитуда: Ctrl+Вниз — тише, Ctrl+Вверх — громче"},
  };
  for (const auto& [control, hint] : hints) {
    control->setToolTip(QString::fromUtf8(hint));
    control->setAccessibleDescription(QString::fromUtf8(hint));
  }
}

// The keys make and shape sound, so, like the controls they stand for, they wait for the warning
// gate; once unlocked they stay so.
void TForm1::UnlockShortcuts() {
  for (QShortcut* shortcut : shortcuts_) shortcut->setEnabled(true);
}
