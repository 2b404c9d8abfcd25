#pragma once

#include <QColor>
#include <cstdint>

class QPalette;
class QStyle;
class QWidget;

// A colour as the window's design gives it: 0xBBGGRR (blue in the high byte).
using TColor = uint32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clGreen = 0x008000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clWindowText = 0x000000;
constexpr TColor clFormColor = 0xE2E4E7;  // the window's light grey

QColor ToQColor(TColor color);
TColor FromQColor(const QColor& color);

// The classic light system colours the window is designed on: black text on a light grey
// ground, white fields, the blue selection, and the classic grey (0x808080) for the text of
// disabled controls. Every role of every colour group is set, so that nothing of the desktop's
// theme shows through.
QPalette ClassicPalette();
// The widget style the window is laid out for: Fusion, with the track bars' own thumb
// (TrackBar.h). One instance for the application and all controls.
QStyle* ClassicStyle();
// The application takes the classic palette and style, whatever the desktop's theme, -style or
// QT_STYLE_OVERRIDE chose, so that pop-up lists and message boxes match the window.
void ApplyClassicLook();
// `window` and every control in it keep the classic palette (below the colours they set
// themselves) and style, also when the application's palette, style or theme changes later.
// Call it once the controls exist; a control with a style of its own keeps that.
void KeepClassicLook(QWidget* window);

// Text colour of a control (all text roles of its palette).
void SetFontColor(QWidget* widget, TColor color);
TColor FontColor(const QWidget* widget);
// Background colour of a control (filled by the widget itself).
void SetColor(QWidget* widget, TColor color);
TColor Color(const QWidget* widget);
