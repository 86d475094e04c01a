// Overlay text: a small bold bitmap font, its glyphs kept here and drawn one glBitmap each.
#pragma once
#include <vector>

#include "gl/Gl.h"

constexpr int kFontFirstChar = 32;
constexpr int kFontGlyphCount = 96;  // codes 32 to 127

// A glyph as glBitmap draws it: rows of bits from the bottom up, each row whole bytes; the raster
// position's place in the bitmap; how far it moves on. A glyph the font lacks is all zero: it draws
// nothing and does not move.
struct Glyph {
    int width = 0, height = 0;
    float xorig = 0, yorig = 0;
    float xmove = 0;
    std::vector<unsigned char> rows;
};

// The overlay font, codes kFontFirstChar on; empty while there is none (not made, no font, or gone).
extern std::vector<Glyph> gFontGlyphs;

// Prints printf-style text at the current raster position, cut to 255 characters. Draws nothing
// without a font, and nothing for a code the font does not have.
void PrintText(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Forgets the font; later text draws nothing.
void DeleteBitmapFont();
