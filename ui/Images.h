#pragma once

#include <QPixmap>

// The window's own pictures, drawn in code: the four generator buttons' glyphs (enabled and
// disabled) and the 157 x 51 logo.
enum class Glyph { Play, Stop, Effects, Clean };
QPixmap GlyphImage(Glyph glyph, bool enabled);
QPixmap LogoImage();
