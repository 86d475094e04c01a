#include "app/OverlayFont.h"

#include <algorithm>
#include <vector>

#include "gl/Text.h"
#include "platform/Platform.h"

static_assert(kGlyphFirstCode == kFontFirstChar, "the text drawing and the backends count glyphs alike");

static Glyph FlipGlyphRows(const FontGlyph& font)
{
    Glyph glyph;
    glyph.width = font.width;
    glyph.height = font.height;
    glyph.xorig = font.xorig;
    glyph.yorig = font.yorig;
    glyph.xmove = font.xmove;
    const size_t rowBytes = size_t(font.width + 7) / 8;
    if (font.height < 0 || font.rows.size() != rowBytes * size_t(font.height)) {
        glyph.width = glyph.height = 0;  // a malformed glyph only moves on, rather than read past its rows
        return glyph;
    }
    glyph.rows.resize(font.rows.size());
    for (int r = 0; r < font.height; ++r)
        std::copy_n(&font.rows[size_t(r) * rowBytes], rowBytes, &glyph.rows[size_t(font.height - 1 - r) * rowBytes]);
    return glyph;
}

void LoadOverlayFont()
{
    std::vector<Glyph> glyphs;
    for (const FontGlyph& g : CreateBitmapFont())
        glyphs.push_back(FlipGlyphRows(g));
    UseBitmapFont(std::move(glyphs));
}
