#pragma once

#include <QColor>
#include <cstdint>

class QWidget;

// A colour as the window's design gives it: 0xBBGGRR (blue in the high byte).
using TColor = uint32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clWindowText = 0x000000;
constexpr TColor clFormColor = 0xE2E4E7;  // the window's light grey

QColor ToQColor(TColor color);
TColor FromQColor(const QColor& color);

// The application's palette with the classic grey (0x808080) for the text of disabled controls.
void ApplyClassicDisabledText();

// Text colour of a control (all text roles of its palette).
void SetFontColor(QWidget* widget, TColor color);
TColor FontColor(const QWidget* widget);
// Background colour of a control (filled by the widget itself).
void SetColor(QWidget* widget, TColor color);
TColor Color(const QWidget* widget);
