#include "ui/Form1.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <tuple>
#include <utility>

#include "ui/toolkit/CheckBox.h"
#include "ui/toolkit/Colors.h"
#include "ui/toolkit/Controls.h"
#include "ui/toolkit/Edit.h"
#include "ui/toolkit/Fonts.h"
#include "ui/toolkit/FramePacer.h"
#include "ui/toolkit/PaintBox.h"
#include "ui/toolkit/RadioGroup.h"
#include "ui/toolkit/ScrollBar.h"
#include "ui/toolkit/Timer.h"
#include "ui/toolkit/TrackBar.h"

TForm1* Form1 = nullptr;

QFont TForm1::Sans(bool bold, int pixelHeight) {
  return DesignFont(QStringLiteral("MS Sans Serif"), pixelHeight, bold);
}

void TForm1::SetEnabledAll(std::initializer_list<QWidget*> widgets, bool enabled) {
  for (QWidget* w : widgets) w->setEnabled(enabled);
}

TForm1::TForm1(QWidget* parent) : QWidget(parent) {
  Form1 = this;
  setWindowTitle(QStringLiteral("Vimbra generator v0.2"));
  // Single border, not resizable, no minimise or maximise box.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setFixedSize(kClientWidth, kClientHeight);
  SetColor(this, clFormColor);
  setFont(Sans());
  CreateControls();
  OrderTabStops();
  // Designed with fixed colours on a light ground: a dark desktop's text colours or style would
  // make its texts vanish.
  KeepClassicLook(this);
  NameControls();
  BindEvents();
  CreateShortcuts();
  FramePacer = new TFramePacer(this);
  // Designed at 214, 108, but shown centred on the screen.
  move(214, 108);
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(kClientWidth / 2, kClientHeight / 2));
  }
  FormCreate(this);
}

TForm1::~TForm1() {
  if (Form1 == this) Form1 = nullptr;
}

void TForm1::closeEvent(QCloseEvent* event) {
  FormClose(this);
  event->accept();
}

// Each area's controls together. Where controls overlap, the one created later lies above.
void TForm1::CreateControls() {
  CreatePreview();
  CreateGeneratorButtons();
  CreateZoneControls();
  CreateSweepControls();
  CreatePresetControls();
  CreateWarning();
  CreateEffectsPanel();
}

// Keyboard focus: the zone group first, then the sweep program, the presets, the warning and the
// effects panel in its rows' order; the frequency and amplitude boxes come last. The scroll bars
// take focus only on a click, the displays and static texts never.
void TForm1::OrderTabStops() {
  QWidget* tabOrder[] = {RadioGroup1, CheckBox4, RadioButton1, RadioButton2, CheckBox5, Edit1,
                         Edit2,       CheckBox6, ComboBox1,    RichEdit1,    CheckBox7, CheckBox1,
                         TrackBar1,   TrackBar2, TrackBar3,    CheckBox2,    TrackBar4, TrackBar5,
                         TrackBar6,   CheckBox3, TrackBar7,    TrackBar8,    fq,        amp};
  for (size_t i = 1; i < std::size(tabOrder); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

// Screen readers name a control by its caption. These controls show none of their own; they are
// named after the captions they sit by. A label that names its control fully becomes its buddy,
// so the name follows the label (the zones retitle the frequency caption). Qt names a drop-down
// list on Linux by its current item, so the presets' list says what it is in its description;
// the zone indicator's name is its own changing text, and its description says what it shows.
void TForm1::NameControls() {
  const std::pair<TLabel*, QWidget*> buddies[] = {{Label1, ScrollBar1}, {Label2, ScrollBar2}};
  for (const auto& [label, control] : buddies) label->setBuddy(control);

  struct Names {
    QWidget* control;
    const char* name;
    const char* description;
  };
  const Names names[] = {
      {PB, "Форма волны", ""},
      {Image1, "Логотип", ""},
      {fq, "Частота, Гц", ""},
      {amp, "Амплитуда, %", ""},
      {Edit1, "Шаг программы, Гц", ""},
      {UpDown1->UpButton(), "Шаг программы: больше", ""},
      {UpDown1->DownButton(), "Шаг программы: меньше", ""},
      {Edit2, "Длина шага программы, мс", ""},
      {UpDown2->UpButton(), "Длина шага программы: больше", ""},
      {UpDown2->DownButton(), "Длина шага программы: меньше", ""},
      {ComboBox1, "", "Заготовки"},
      {ComboBox1->view(), "Заготовки", ""},
      {RichEdit1, "Предупреждение", ""},
      {RichEdit1->verticalScrollBar(), "Предупреждение: прокрутка по вертикали", ""},
      {RichEdit1->horizontalScrollBar(), "Предупреждение: прокрутка по горизонтали", ""},
      {StaticText10, "", "Индикатор звуковой зоны"},
  };
  for (const Names& row : names) {
    if (*row.name != '\0') row.control->setAccessibleName(QString::fromUtf8(row.name));
    if (*row.description != '\0')
      row.control->setAccessibleDescription(QString::fromUtf8(row.description));
  }

  // Each effect's track bars by their effect and row: "Flanger: Delay".
  const std::tuple<TTrackBar*, TCheckBox*, TLabel*> rows[] = {
      {TrackBar1, CheckBox1, Label3},  {TrackBar2, CheckBox1, Label4},
      {TrackBar3, CheckBox1, Label10}, {TrackBar4, CheckBox2, Label11},
      {TrackBar5, CheckBox2, Label12}, {TrackBar6, CheckBox2, Label13},
      {TrackBar7, CheckBox3, Label14}, {TrackBar8, CheckBox3, Label15}};
  for (const auto& [bar, effect, row] : rows)
    bar->setAccessibleName(effect->text() + QStringLiteral(": ") + row->text());
}

void TForm1::BindEvents() {
  PB->OnDraw = [this](TCanvas& canvas) { DrawPreview(canvas); };
  Button3->OnClick = [this] { Button3Click(Button3); };
  SpeedButton1->OnClick = [this] { SpeedButton1Click(SpeedButton1); };
  SpeedButton2->OnClick = [this] { SpeedButton2Click(SpeedButton2); };
  SpeedButton3->OnClick = [this] { SpeedButton3Click(SpeedButton3); };
  CheckBox7->OnClick = [this] { CheckBox7Click(CheckBox7); };

  ScrollBar1->OnChange = [this] { ScrollBar1Change(ScrollBar1); };
  ScrollBar2->OnChange = [this] { ScrollBar2Change(ScrollBar2); };
  RadioGroup1->OnClick = [this] { RadioGroup1Click(RadioGroup1); };

  CheckBox1->OnClick = [this] { CheckBox1Click(CheckBox1); };
  CheckBox2->OnClick = [this] { CheckBox2Click(CheckBox2); };
  CheckBox3->OnClick = [this] { CheckBox3Click(CheckBox3); };
  TrackBar1->OnChange = [this] { TrackBar1Change(TrackBar1); };
  TrackBar2->OnChange = [this] { TrackBar2Change(TrackBar2); };
  TrackBar3->OnChange = [this] { TrackBar3Change(TrackBar3); };
  TrackBar4->OnChange = [this] { TrackBar4Change(TrackBar4); };
  TrackBar5->OnChange = [this] { TrackBar5Change(TrackBar5); };
  TrackBar6->OnChange = [this] { TrackBar6Change(TrackBar6); };
  TrackBar7->OnChange = [this] { TrackBar7Change(TrackBar7); };
  TrackBar8->OnChange = [this] { TrackBar8Change(TrackBar8); };
  Timer2->OnTimer = [this] { Timer2Timer(Timer2); };

  Edit1->OnChange = [this] { Edit1Change(Edit1); };
  Edit2->OnChange = [this] { Edit2Change(Edit2); };
  CheckBox4->OnClick = [this] { CheckBox4Click(CheckBox4); };
  SpeedButton4->OnClick = [this] { SpeedButton4Click(SpeedButton4); };
  SpeedButton5->OnClick = [this] { SpeedButton5Click(SpeedButton5); };
  Timer1->OnTimer = [this] { Timer1Timer(Timer1); };

  CheckBox6->OnClick = [this] { CheckBox6Click(CheckBox6); };
  SpeedButton6->OnClick = [this] { SpeedButton6Click(SpeedButton6); };
  SpeedButton7->OnClick = [this] { SpeedButton7Click(SpeedButton7); };
  ZagTimer->OnTimer = [this] { ZagTimerTimer(ZagTimer); };
}
