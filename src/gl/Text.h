// Overlay text: a small bold bitmap font, its glyphs kept here and drawn one glBitmap each.
#pragma once
#include <string>
#include <vector>

#include "gl/Gl.h"

constexpr int kGlyphFirstCode = 32;  // gFontGlyphs[0] is the blank

// A glyph as glBitmap draws it: rows of bits from the bottom up, each row whole bytes; the raster
// position's place in the bitmap; how far it moves on. A glyph the font lacks is all zero: it draws
// nothing and does not move.
struct Glyph {
    int width = 0, height = 0;
    float xorig = 0, yorig = 0;
    float xmove = 0;
    std::vector<unsigned char> rows;
};

// The overlay font, codes kGlyphFirstCode on; empty while there is none (not made, no font, or
// gone). Written here alone.
extern std::vector<Glyph> gFontGlyphs;

// Takes the font's glyphs; from now on text draws with them.
void UseBitmapFont(std::vector<Glyph> glyphs);
// Prints printf-style text at the current raster position, cut to 255 characters. Draws nothing
// without a font, and nothing for a code the font does not have.
void PrintText(const char* format, ...) __attribute__((format(printf, 1, 2)));
// How far text moves the raster position on, in pixels.
float MeasureText(const std::string& text);
// Forgets the font; later text draws nothing.
void DeleteBitmapFont();
