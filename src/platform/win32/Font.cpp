// The overlay font on Windows: bold Arial at a character height of 10, each glyph rendered by GDI as a
// 1-bit bitmap and placed and advanced as glBitmap wants it (what wglUseFontBitmapsA would put into
// display lists).
#include "platform/Platform.h"
#include "platform/win32/Win32Backend.h"

// GDI's rows run from the top down, each padded to a multiple of four bytes; a glyph's here in whole
// bytes. False if GDI has no bitmap for the code.
static bool RenderGlyph(UINT code, FontGlyph& glyph, std::vector<unsigned char>& bits)
{
    static const MAT2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    GLYPHMETRICS metrics;
    DWORD size = GetGlyphOutlineA(gWin32.hdc, code, GGO_BITMAP, &metrics, 0, nullptr, &kIdentity);
    if (size == GDI_ERROR)
        return false;
    bits.assign(size, 0);
    if (size && GetGlyphOutlineA(gWin32.hdc, code, GGO_BITMAP, &metrics, size, bits.data(), &kIdentity) == GDI_ERROR)
        return false;
    glyph = FontGlyph();
    glyph.xmove = float(metrics.gmCellIncX);
    if (size == 0)
        return true;  // a blank such as the space: it only moves on
    glyph.width = int(metrics.gmBlackBoxX);
    glyph.height = int(metrics.gmBlackBoxY);
    glyph.xorig = float(-metrics.gmptGlyphOrigin.x);
    glyph.yorig = float(glyph.height - metrics.gmptGlyphOrigin.y);
    const size_t rowBytes = size_t(glyph.width + 7) / 8, stride = size_t(glyph.width + 31) / 32 * 4;
    if (stride * size_t(glyph.height) > size)
        return false;
    glyph.rows.resize(rowBytes * size_t(glyph.height));
    for (int r = 0; r < glyph.height; ++r)
        for (size_t b = 0; b < rowBytes; ++b)
            glyph.rows[size_t(r) * rowBytes + b] = bits[size_t(r) * stride + b];
    return true;
}

std::vector<FontGlyph> CreateBitmapFont()
{
    std::vector<FontGlyph> glyphs(kFontGlyphCount);
    HFONT font = CreateFontA(-10, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                             CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, FF_DONTCARE | DEFAULT_PITCH, "arial");
    if (!font)
        return {};
    HGDIOBJ previous = SelectObject(gWin32.hdc, font);
    std::vector<unsigned char> bits;
    bool made = true;
    for (int i = 0; made && i < kFontGlyphCount; ++i)
        made = RenderGlyph(UINT(kFontFirstChar + i), glyphs[size_t(i)], bits);
    SelectObject(gWin32.hdc, previous);
    DeleteObject(font);
    // Without every glyph the text would be garbled; none says there is no font.
    if (!made)
        glyphs.clear();
    return glyphs;
}
