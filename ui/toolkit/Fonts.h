#pragma once

#include <QFont>
#include <QString>

// The window's design names Windows fonts; Liberation fonts of the same metrics stand in for
// them: Liberation Sans for "MS Sans Serif" and "Arial", Liberation Serif for "Times New Roman".
void RegisterFontSubstitutions();

// A font as the design gives it: family, height in pixels (the design's negative heights, so
// -11 is 8 points at 96 pixels per inch), bold or regular.
QFont DesignFont(const QString& family, int pixelHeight, bool bold = false);

// Height of a line of text in `font` as the classic toolkit measures it (its text metric height):
// ascent and descent each rounded up to whole pixels. 13 for the 8-point "MS Sans Serif".
int TextCellHeight(const QFont& font);
