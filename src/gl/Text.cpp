#include "gl/Text.h"

#include <cstdarg>
#include <cstdio>
#include <utility>

std::vector<Glyph> gFontGlyphs;

// The glyphs are drawn from memory rather than from a display list each: Mesa sends each list's
// bitmap to the rasteriser on its own, but gathers bitmaps drawn one after another into one texture
// and one draw. The same bitmaps at the same places: the same pixels, at a tenth of the cost. Mesa
// draws what it gathered at the next draw of anything else (the overlay's map follows its text); it
// fails destroying a context that still holds some.
void PrintText(const char* format, ...)
{
    if (!format || gFontGlyphs.empty())
        return;
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    GLint alignment;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (const char* c = text; *c; ++c) {
        const int index = int(static_cast<unsigned char>(*c)) - kGlyphFirstCode;
        if (index < 0 || index >= int(gFontGlyphs.size()))
            continue;
        const Glyph& glyph = gFontGlyphs[size_t(index)];
        glBitmap(glyph.width, glyph.height, glyph.xorig, glyph.yorig, glyph.xmove, 0,
                 glyph.rows.empty() ? nullptr : glyph.rows.data());
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
}

float MeasureText(const std::string& text)
{
    float width = 0;
    for (char c : text) {
        const int index = int(static_cast<unsigned char>(c)) - kGlyphFirstCode;
        if (index >= 0 && index < int(gFontGlyphs.size()))
            width += gFontGlyphs[size_t(index)].xmove;
    }
    return width;
}

void UseBitmapFont(std::vector<Glyph> glyphs)
{
    gFontGlyphs = std::move(glyphs);
}

void DeleteBitmapFont()
{
    gFontGlyphs.clear();
}
