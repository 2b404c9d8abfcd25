#include "ui/Form1.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <initializer_list>
#include <tuple>
#include <utility>

#include "ui/EffectsPanel.h"
#include "ui/Images.h"
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

namespace {

constexpr TColor kOrange = 0x00A0FF;
constexpr TColor kWarningRed = 0x0000FB;

const QString kSans = QStringLiteral("MS Sans Serif");

// The warning shown until it is acknowledged, line by line as stored.
const char* const kWarningLines[] = {
    "Внимание! ",
    "Инфра и ультра звуки ",
    "воздействуют на ",
    "человека по разному, что ",
    "зависит как от ",
    "устойчивости психики, ",
    "так и от характеристик ",
    "оборудования(звуковой ",
    "карты и динамиков). ",
    "Разработчик не несет ",
    "ответственности за ",
    "негативный результат и ",
    "предлогает предостеречь ",
    "слабонервных, детей, ",
    "беременных, домашних ",
    "животных(особенно ",
    "грызунов) от воздействия ",
    "генерируемого звука.",
    "Проявите особое ",
    "внимание к зонам ",
    "'повышенной ",
    "психочувствительности'!",
    "Следите за своим ",
    "самочувствием!",
    "Спасибо за внимание!",
};

// Places a control: Left, Top, Width, Height in client pixels, and its font.
template <typename W>
W* Place(W* widget, int left, int top, int width, int height, const QFont& font) {
  widget->setGeometry(left, top, width, height);
  widget->setFont(font);
  return widget;
}

void SetEnabledAll(std::initializer_list<QWidget*> widgets, bool enabled) {
  for (QWidget* w : widgets) w->setEnabled(enabled);
}

}  // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent) {
  Form1 = this;
  setWindowTitle(QStringLiteral("Vimbra generator v0.2"));
  // Single border, not resizable, no minimise or maximise box.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setFixedSize(kClientWidth, kClientHeight);
  SetColor(this, clFormColor);
  setFont(DesignFont(kSans, 11));
  CreateControls();
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

void TForm1::CreateControls() {
  const QFont normal = DesignFont(kSans, 11);
  const QFont bold = DesignFont(kSans, 11, true);
  const QFont bigSerif = DesignFont(QStringLiteral("Times New Roman"), 19, true);

  // Graphic controls first: windowed controls created later lie above them where they overlap.
  Bevel1 = Place(new TBevel(TBevel::Shape::LoweredBox, this), 280, 9, 185, 103, normal);
  PB = Place(new TPaintBox(180, 102, clFormColor, this), 282, 9, 180, 102, normal);

  Label1 =
      Place(new TLabel(QStringLiteral("Частота (1-22050 Гц)"), this), 8, 112, 377, 25, bigSerif);
  SetFontColor(Label1, clBlack);
  Label7 = Place(new TLabel(QStringLiteral("Гц"), this), 448, 136, 15, 13, bold);
  Label2 =
      Place(new TLabel(QStringLiteral("Амплитуда (0-100 %)"), this), 8, 144, 377, 33, bigSerif);
  Label5 = Place(new TLabel(QStringLiteral("%"), this), 448, 176, 25, 13, bold);
  SetEnabledAll({Label1, Label7, Label2, Label5}, false);

  Label6 = Place(new TLabel(QStringLiteral("с шагом"), this), 32, 264, 57, 18, bold);
  Label8 = Place(new TLabel(QStringLiteral("Гц"), this), 144, 264, 25, 17, bold);
  Label16 = Place(new TLabel(QStringLiteral("длинной"), this), 32, 280, 57, 17, bold);
  Label17 = Place(new TLabel(QStringLiteral("мс"), this), 144, 280, 25, 17, bold);
  Bevel6 = Place(new TBevel(TBevel::Shape::RightLine, this), 168, 200, 9, 97, normal);

  Image1 = Place(new QLabel(this), 308, 304, 157, 51, normal);
  Image1->setPixmap(LogoImage());

  // Generator buttons, each with a two-state glyph.
  struct ButtonRow {
    TSpeedButton** button;
    const char* caption;
    int top;
    int height;
    Glyph glyph;
  };
  const ButtonRow buttons[] = {
      {&Button3, "Пуск", 8, 27, Glyph::Play},
      {&SpeedButton1, "Стоп", 34, 27, Glyph::Stop},
      {&SpeedButton2, "Эффекты", 60, 27, Glyph::Effects},
      {&SpeedButton3, "Чистый  ", 86, 26, Glyph::Clean},
  };
  for (const ButtonRow& row : buttons) {
    *row.button = Place(new TSpeedButton(QString::fromUtf8(row.caption), this), 8, row.top, 113,
                        row.height, bold);
    (*row.button)->SetGlyph(GlyphImage(row.glyph, true), GlyphImage(row.glyph, false));
    (*row.button)->setEnabled(false);
  }

  // Sound zone.
  RadioGroup1 =
      Place(new TRadioGroup(QStringLiteral("Звуковая зона"),
                            {QStringLiteral("Весь спектор "), QStringLiteral("Слышимый звук"),
                             QStringLiteral("Ультра звук"), QStringLiteral("Инфра звук")},
                            this),
            128, 5, 145, 108, bold);
  RadioGroup1->SetItemIndex(0);
  SetColor(RadioGroup1, clFormColor);
  SetFontColor(RadioGroup1, clGray);
  RadioGroup1->setEnabled(false);

  // Frequency and amplitude.
  ScrollBar1 = Place(new TScrollBar(this), 8, 136, 377, 12, normal);
  ScrollBar1->SetParams(1000, 1, 22050);
  ScrollBar1->SetSmallChange(1);
  ScrollBar1->SetLargeChange(1000);
  ScrollBar2 = Place(new TScrollBar(this), 8, 176, 377, 12, normal);
  ScrollBar2->SetParams(16864, 0, 32767);
  ScrollBar2->SetSmallChange(256);
  ScrollBar2->SetLargeChange(1024);
  for (TScrollBar* bar : {ScrollBar1, ScrollBar2}) {
    bar->setCursor(Qt::PointingHandCursor);
    bar->setFocusPolicy(Qt::ClickFocus);  // not a tab stop
    bar->hide();
  }
  fq = Place(new TEdit(QStringLiteral("1000"), this), 392, 134, 57, 16, bold);
  amp = Place(new TEdit(QStringLiteral("50"), this), 392, 174, 57, 16, bold);
  for (TEdit* box : {fq, amp}) {
    SetColor(box, clSilver);
    SetFontColor(box, clGray);
    box->DeferDisplay = true;  // outputs only, rewritten on every move of their bar
  }

  // Sweep program.
  CheckBox4 =
      Place(new TCheckBox(QStringLiteral("Установить программу"), this), 8, 192, 161, 25, bold);
  RadioButton1 =
      Place(new TRadioButton(QStringLiteral("Возрастание"), this), 16, 216, 97, 17, bold);
  RadioButton2 = Place(new TRadioButton(QStringLiteral("Убывание"), this), 16, 232, 89, 17, bold);
  RadioButton1->SetChecked(true);
  CheckBox5 = Place(new TCheckBox(QStringLiteral("Реверс"), this), 16, 248, 81, 17, bold);
  Edit1 = Place(new TEdit(QStringLiteral("1"), this), 88, 264, 41, 17, bold);
  Edit2 = Place(new TEdit(QStringLiteral("100"), this), 88, 280, 41, 17, bold);
  for (TEdit* box : {Edit1, Edit2}) {
    SetColor(box, clSilver);
    SetFontColor(box, clGray);
  }
  UpDown1 = Place(new TUpDown(Edit1, 0, 100, 1, this), 129, 264, 16, 17, normal);
  UpDown2 = Place(new TUpDown(Edit2, 0, 10000, 100, this), 129, 280, 16, 17, normal);
  SpeedButton4 =
      Place(new TSpeedButton(QStringLiteral("Пуск программы"), this), 352, 200, 113, 25, bold);
  SpeedButton5 =
      Place(new TSpeedButton(QStringLiteral("Стоп программы"), this), 352, 224, 113, 25, bold);
  SetEnabledAll({CheckBox4, RadioButton1, RadioButton2, CheckBox5, Label6, Label8, Label16, Label17,
                 SpeedButton4, SpeedButton5},
                false);
  Timer1 = new TTimer(100, false, this);

  // Presets.
  CheckBox6 = Place(new TCheckBox(QStringLiteral("Заготовки"), this), 184, 192, 161, 25, bold);
  ComboBox1 = Place(new TComboBox({QStringLiteral("Серена"), QStringLiteral("Пытка Ультрозвуком"),
                                   QStringLiteral("Страх")},
                                  this),
                    184, 216, 161, 21, bold);
  ComboBox1->setCurrentIndex(0);
  ComboBox1->SetItemHeight(13);
  SetColor(ComboBox1, clSilver);
  SetFontColor(ComboBox1, clGray);
  SpeedButton6 =
      Place(new TSpeedButton(QStringLiteral("Пуск заготовки"), this), 352, 248, 113, 25, bold);
  SpeedButton7 =
      Place(new TSpeedButton(QStringLiteral("Стоп заготовки"), this), 352, 272, 113, 25, bold);
  SetEnabledAll({CheckBox6, ComboBox1, SpeedButton6, SpeedButton7}, false);
  ZagTimer = new TTimer(100, true, this);

  // Warning.
  RichEdit1 =
      Place(new TRichEdit(this), 184, 240, 161, 41, DesignFont(QStringLiteral("Arial"), 11));
  RichEdit1->SetBackground(clWhite);
  RichEdit1->SetTextColor(clBlack);
  QStringList lines;
  for (const char* line : kWarningLines) lines << QString::fromUtf8(line);
  RichEdit1->setPlainText(lines.join(QLatin1Char('\n')));
  RichEdit1->moveCursor(QTextCursor::Start);
  CheckBox7 = Place(new TCheckBox(QStringLiteral("Ознакомился"), this), 184, 281, 161, 23, bold);
  SetFontColor(CheckBox7, kWarningRed);
  CheckBox7->setToolTip(
      QStringLiteral("Программа не будет работать пока Вы не ознакомитесь с предупреждением!"));
  StaticText10 = Place(new TStaticText(QStringLiteral("Пожалуйста! Ознакомьтесь с текстом!"), this),
                       8, 304, 291, 51, DesignFont(kSans, 19, true));
  SetColor(StaticText10, kOrange);
  SetFontColor(StaticText10, clWindowText);

  // Effects panel, right of the divider at x 473 (outside the narrow window).
  Bevel2 = Place(new TBevel(TBevel::Shape::LeftLine, this), 473, -8, 7, 425, normal);
  Bevel3 = Place(new TBevel(TBevel::Shape::LoweredBox, this), 487, 25, 123, 105, normal);
  Bevel4 = Place(new TBevel(TBevel::Shape::LoweredBox, this), 487, 153, 123, 105, normal);
  Bevel5 = Place(new TBevel(TBevel::Shape::LoweredBox, this), 487, 281, 122, 75, normal);
  CheckBox1 = Place(new TCheckBox(QStringLiteral("Flanger"), this), 480, 8, 121, 17, bold);
  CheckBox2 = Place(new TCheckBox(QStringLiteral("Echo"), this), 480, 136, 121, 17, bold);
  CheckBox3 = Place(new TCheckBox(QStringLiteral("Auto Wah"), this), 480, 264, 113, 17, bold);

  struct Row {
    TLabel** label;
    TStaticText** display;
    TTrackBar** bar;
    const char* caption;
    int labelWidth;
    int top;
    int barWidth;
    int min;
    int max;
    int position;
  };
  const Row rows[] = {
      {&Label3, &StaticText1, &TrackBar1, "Delay", 57, 32, 121, 11, 31, 20},
      {&Label4, &StaticText2, &TrackBar2, "WetDry", 57, 64, 121, 0, 10, 5},
      {&Label10, &StaticText3, &TrackBar3, "BPM", 41, 96, 121, 1, 2000, 1000},
      {&Label11, &StaticText4, &TrackBar4, "Delay", 57, 160, 121, 1, 1000, 200},
      {&Label12, &StaticText5, &TrackBar5, "DryMix", 57, 192, 121, 0, 10, 1},
      {&Label13, &StaticText6, &TrackBar6, "WetMix", 57, 224, 121, 0, 10, 1},
      {&Label14, &StaticText7, &TrackBar7, "FidBack", 57, 288, 119, -10, 10, 0},
      {&Label15, &StaticText8, &TrackBar8, "DryMix", 57, 320, 121, -20, 20, 1},
  };
  for (const Row& row : rows) {
    *row.label = Place(new TLabel(QString::fromUtf8(row.caption), this), 488, row.top,
                       row.labelWidth, 17, bold);
    (*row.label)->setEnabled(false);
    *row.display = Place(new TStaticText(QString(), this), 544, row.top, 57, 17, bold);
    SetColor(*row.display, clSilver);
    SetFontColor(*row.display, clGray);
    (*row.display)->setFocusPolicy(Qt::NoFocus);
    *row.bar = Place(new TTrackBar(this), 488, row.top + 16, row.barWidth, 17, normal);
    (*row.bar)->SetRange(row.min, row.max);
    (*row.bar)->SetPosition(row.position);
    (*row.bar)->SetThumbLength(15);
    (*row.bar)->hide();
  }
  // The displays' first texts. The auto-wah's "DryMix" shows what its display handler shows for
  // its starting position, so the display never disagrees with what the refresh sends.
  StaticText1->setText(QStringLiteral("2"));
  StaticText2->setText(QStringLiteral("5"));
  StaticText3->setText(QStringLiteral("1000"));
  StaticText4->setText(QStringLiteral("200"));
  StaticText5->setText(QStringLiteral("1"));
  StaticText6->setText(QStringLiteral("1"));
  StaticText7->setText(QStringLiteral("0"));
  StaticText8->setText(FormatDisplayValue(TrackBar8->Position() / 10.0));
  Timer2 = new TTimer(250, true, this);

  // Keyboard focus: the zone group first, then the sweep program, the presets, the warning and
  // the effects panel in its rows' order; the frequency and amplitude boxes come last. The scroll
  // bars take focus only on a click, the displays and static texts never.
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
