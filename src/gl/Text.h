// Overlay text drawn with one display list per glyph of a small bold bitmap font.
#pragma once
#include "gl/Gl.h"

constexpr int kFontFirstChar = 32;
constexpr int kFontGlyphCount = 96;  // codes 32 to 127

// First of the glyph lists; 0 while there are none (not made, no font, or deleted).
extern GLuint gFontBase;

// Prints printf-style text at the current raster position, cut to 255 characters. Draws nothing
// without a font. The caller's list base is kept.
void PrintText(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Deletes the glyph lists once; later calls do nothing. Needs the font's GL context current.
void DeleteBitmapFont();
