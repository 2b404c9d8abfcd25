#pragma once

#include <QWidget>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "automation/Automation.h"

class TBevel;
class TCanvas;
class TCheckBox;
class TComboBox;
class TEdit;
class TFramePacer;
class TLabel;
class TPaintBox;
class TRadioButton;
class TRadioGroup;
class TRichEdit;
class TScrollBar;
class TSpeedButton;
class TStaticText;
class TTimer;
class TTrackBar;
class TUpDown;
class QLabel;
class QShortcut;

// True from a successful start of the tone until the next stop.
extern bool Playing;

// The generator's one window. Its controls keep the generic names the window was designed with;
// every behaviour is a method named after its control and event.
class TForm1 : public QWidget {
  Q_OBJECT
 public:
  // Lays out every control in its initial state, then runs FormCreate.
  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  // The client size at creation, the effects panel closed.
  static constexpr int kClientWidth = 471;
  static constexpr int kClientHeight = 359;
  // The values the frequency and amplitude bars (and the tone) start with: Hz, and of 32767.
  static constexpr int kStartFrequency = 1000;
  static constexpr int kStartAmplitude = 16864;
  // The sweep's period at start, ms (its step: SweepProgram::kStartStep).
  static constexpr int kStartSweepPeriod = 100;

  // Handle of the user stream, 0 while there is none.
  uint32_t Stream = 0;

  // Tone (ui/ToneHandlers.cpp).
  void InitSB();
  void ShowBassError(const QString& message);
  void FormCreate(QObject* sender);
  void FormClose(QObject* sender);
  void Button3Click(QObject* sender);
  void SpeedButton1Click(QObject* sender);
  // The sound output went away (`lost`) or came back, as the audio library tells it.
  void OutputChange(bool lost);
  // Whether the tone is heard: it plays and the sound output is there.
  bool ToneHeard() const { return Playing && !outputLost_; }

  // Warning gate (ui/WarningGate.cpp).
  void CheckBox7Click(QObject* sender);

  // The window's keys (ui/Keys.cpp): Esc stops the tone, Ctrl+Enter starts it, Ctrl with the
  // arrows and page keys moves the frequency and amplitude bars. Created locked; the warning gate
  // unlocks them.
  void CreateShortcuts();
  void UnlockShortcuts();

  // Frequency, amplitude and zones (ui/Zones.cpp).
  void ScrollBar1Change(QObject* sender);
  void ScrollBar2Change(QObject* sender);
  void RadioGroup1Click(QObject* sender);

  // Waveform preview (ui/Preview.cpp).
  void Brush();

  // Effects panel (ui/EffectsPanel.cpp).
  void SpeedButton2Click(QObject* sender);
  void SpeedButton3Click(QObject* sender);
  void CheckBox1Click(QObject* sender);
  void CheckBox2Click(QObject* sender);
  void CheckBox3Click(QObject* sender);
  void Timer2Timer(QObject* sender);
  void TrackBar1Change(QObject* sender);
  void TrackBar2Change(QObject* sender);
  void TrackBar3Change(QObject* sender);
  void TrackBar4Change(QObject* sender);
  void TrackBar5Change(QObject* sender);
  void TrackBar6Change(QObject* sender);
  void TrackBar7Change(QObject* sender);
  void TrackBar8Change(QObject* sender);
  // Sets the window's outer width (frame included), keeping left, top and height.
  void SetOuterWidth(int width);
  // Brings an effect's box to `on` the way the panel's close and the presets do: if the tick
  // differs, set it (which runs the switch handler) and run the handler once more.
  void SwitchEffectBox(TCheckBox* box, bool on, void (TForm1::*handler)(QObject*));

  // Sweep program (ui/Sweep.cpp), its step and its tick.
  SweepProgram Sweep;
  void Edit1Change(QObject* sender);
  void Edit2Change(QObject* sender);
  void CheckBox4Click(QObject* sender);
  void SpeedButton4Click(QObject* sender);
  void SpeedButton5Click(QObject* sender);
  void Timer1Timer(QObject* sender);

  // Presets (ui/Presets.cpp), and the swing their timer ticks.
  PresetSwing Swing;
  void CheckBox6Click(QObject* sender);
  void SpeedButton6Click(QObject* sender);
  void SpeedButton7Click(QObject* sender);
  void ZagTimerTimer(QObject* sender);

  // Generator buttons.
  TSpeedButton* Button3 = nullptr;       // "Пуск"
  TSpeedButton* SpeedButton1 = nullptr;  // "Стоп"
  TSpeedButton* SpeedButton2 = nullptr;  // "Эффекты"
  TSpeedButton* SpeedButton3 = nullptr;  // "Чистый  "

  // Sound zone, preview, frequency and amplitude.
  TRadioGroup* RadioGroup1 = nullptr;
  TBevel* Bevel1 = nullptr;
  TPaintBox* PB = nullptr;
  TLabel* Label1 = nullptr;
  TScrollBar* ScrollBar1 = nullptr;
  TEdit* fq = nullptr;
  TLabel* Label7 = nullptr;
  TLabel* Label2 = nullptr;
  TScrollBar* ScrollBar2 = nullptr;
  TEdit* amp = nullptr;
  TLabel* Label5 = nullptr;

  // Sweep program.
  TCheckBox* CheckBox4 = nullptr;
  TRadioButton* RadioButton1 = nullptr;
  TRadioButton* RadioButton2 = nullptr;
  TCheckBox* CheckBox5 = nullptr;
  TLabel* Label6 = nullptr;
  TEdit* Edit1 = nullptr;
  TUpDown* UpDown1 = nullptr;
  TLabel* Label8 = nullptr;
  TLabel* Label16 = nullptr;
  TEdit* Edit2 = nullptr;
  TUpDown* UpDown2 = nullptr;
  TLabel* Label17 = nullptr;
  TBevel* Bevel6 = nullptr;
  TSpeedButton* SpeedButton4 = nullptr;  // "Пуск программы"
  TSpeedButton* SpeedButton5 = nullptr;  // "Стоп программы"
  TTimer* Timer1 = nullptr;

  // Presets.
  TCheckBox* CheckBox6 = nullptr;
  TComboBox* ComboBox1 = nullptr;
  TSpeedButton* SpeedButton6 = nullptr;  // "Пуск заготовки"
  TSpeedButton* SpeedButton7 = nullptr;  // "Стоп заготовки"
  TTimer* ZagTimer = nullptr;

  // Warning.
  TRichEdit* RichEdit1 = nullptr;
  TCheckBox* CheckBox7 = nullptr;  // "Ознакомился"
  TStaticText* StaticText10 = nullptr;
  QLabel* Image1 = nullptr;

  // Paints the window at most once per frame of the screen.
  TFramePacer* FramePacer = nullptr;

  // Effects panel.
  TBevel* Bevel2 = nullptr;
  TCheckBox* CheckBox1 = nullptr;  // "Flanger"
  TBevel* Bevel3 = nullptr;
  TLabel* Label3 = nullptr;
  TStaticText* StaticText1 = nullptr;
  TTrackBar* TrackBar1 = nullptr;
  TLabel* Label4 = nullptr;
  TStaticText* StaticText2 = nullptr;
  TTrackBar* TrackBar2 = nullptr;
  TLabel* Label10 = nullptr;
  TStaticText* StaticText3 = nullptr;
  TTrackBar* TrackBar3 = nullptr;
  TCheckBox* CheckBox2 = nullptr;  // "Echo"
  TBevel* Bevel4 = nullptr;
  TLabel* Label11 = nullptr;
  TStaticText* StaticText4 = nullptr;
  TTrackBar* TrackBar4 = nullptr;
  TLabel* Label12 = nullptr;
  TStaticText* StaticText5 = nullptr;
  TTrackBar* TrackBar5 = nullptr;
  TLabel* Label13 = nullptr;
  TStaticText* StaticText6 = nullptr;
  TTrackBar* TrackBar6 = nullptr;
  TCheckBox* CheckBox3 = nullptr;  // "Auto Wah"
  TBevel* Bevel5 = nullptr;
  TLabel* Label14 = nullptr;
  TStaticText* StaticText7 = nullptr;
  TTrackBar* TrackBar7 = nullptr;
  TLabel* Label15 = nullptr;
  TStaticText* StaticText8 = nullptr;
  TTrackBar* TrackBar8 = nullptr;
  TTimer* Timer2 = nullptr;

 signals:
  // The tone as the desktop shows it changed: it started or stopped (`Playing`), started or
  // stopped being heard (ToneHeard), or its frequency (`Frequency`) moved. Emitted by the handler
  // that made the change, and only for a real one.
  void ToneChanged();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // Creates the controls area by area, each beside its handlers in the file named.
  void CreateControls();
  void CreatePreview();           // ui/Preview.cpp
  void CreateGeneratorButtons();  // ui/ToneHandlers.cpp
  void CreateZoneControls();      // ui/Zones.cpp
  void CreateSweepControls();     // ui/Sweep.cpp
  void CreatePresetControls();    // ui/Presets.cpp
  void CreateWarning();           // ui/WarningGate.cpp
  void CreateEffectsPanel();      // ui/EffectsPanel.cpp
  // Keyboard focus across the areas.
  void OrderTabStops();
  // Names for screen readers of the controls that show no caption of their own.
  void NameControls();
  void BindEvents();
  // Draws the preview of the values the last Brush took (ui/Preview.cpp).
  void DrawPreview(TCanvas& canvas) const;
  // Emits ToneChanged when the tone differs from what it last announced (ui/ToneHandlers.cpp).
  void AnnounceTone();

  struct ToneState {
    bool playing = false;
    bool heard = false;
    double frequency = 0;
    bool operator==(const ToneState&) const = default;
  };
  ToneState toldTone_;
  bool outputLost_ = false;

  std::vector<QShortcut*> shortcuts_;

  // Places a control: Left, Top, Width, Height in client pixels, and its font (by default the
  // bold one of the captions).
  template <typename W>
  static W* Place(W* widget, int left, int top, int width, int height,
                  const QFont& font = Sans(true)) {
    widget->setGeometry(left, top, width, height);
    widget->setFont(font);
    return widget;
  }
  // "MS Sans Serif", the font of most controls: 8 points (11 pixels) unless told.
  static QFont Sans(bool bold = false, int pixelHeight = 11);
  static void SetEnabledAll(std::initializer_list<QWidget*> widgets, bool enabled);

  // The zone indicator's orange: the safe band, and the warning until it is read.
  static constexpr uint32_t kIndicatorOrange = 0x00A0FF;
  // The zone indicator's text in the safe band (ui/Zones.cpp).
  static const QString kSafeText;

  double previewFrequency_ = 0;
  double previewAmplitude_ = 0;
};

// True when `text` is not empty and holds only the digits 0 to 9 (ui/Sweep.cpp).
bool IsDigits(const QString& text);

// The one window of the running program (set while it exists).
extern TForm1* Form1;
