// The overlay font as a file: the Linux build's glyphs, rendered by FreeType when the page is built
// (WriteGlyphs.cpp) and read by the page (Font.cpp), at every height from kGlyphHeightFrom to
// kGlyphHeightTo so that the canvas draws sharp text at whatever scale the screen shows it.
// In little-endian 32-bit words: the height at the run's own size, then each height in turn: the
// height, then per glyph, codes kFontFirstChar on, its width, height, then xorig, yorig and xmove as
// floats, then its rows.
#pragma once
#include <cstdio>
#include <vector>

#include "platform/Platform.h"

constexpr int kGlyphHeightFrom = 5;
constexpr int kGlyphHeightTo = 48;

// glyphsByHeight[i]: the glyphs kGlyphHeightFrom + i pixels high.
bool WriteGlyphFile(std::FILE* file, int ownHeight, const std::vector<std::vector<FontGlyph>>& glyphsByHeight);
// The glyphs whose height is nearest to the own height times scale; none when the file is missing,
// short or malformed.
std::vector<FontGlyph> ReadGlyphFile(std::FILE* file, float scale);
