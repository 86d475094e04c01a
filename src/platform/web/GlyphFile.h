// The overlay font as a file: the Linux build's glyphs, rendered by FreeType when the page is built
// (WriteGlyphs.cpp) and read by the page (Font.cpp). Per glyph, codes kFontFirstChar on, in
// little-endian 32-bit words: width, height, then xorig, yorig and xmove as floats; then its rows.
#pragma once
#include <cstdio>
#include <vector>

#include "platform/Platform.h"

bool WriteGlyphFile(std::FILE* file, const std::vector<FontGlyph>& glyphs);
// The glyphs the file holds; none when it is missing, short or malformed.
std::vector<FontGlyph> ReadGlyphFile(std::FILE* file);
