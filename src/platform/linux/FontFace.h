// The overlay font as FreeType renders it (Font.cpp): at its own size for the Linux build, and at
// every size the page's canvas may need for the page's build (platform/web/WriteGlyphs.cpp).
#pragma once
#include <vector>

#include "platform/Platform.h"

constexpr int kFontPixelHeight = 10;  // at the run's own size

// The glyphs, codes kFontFirstChar on, pixelHeight pixels high; none when no font can be had.
std::vector<FontGlyph> RenderFontGlyphs(int pixelHeight);
