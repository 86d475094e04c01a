// The overlay font on Windows: bold Arial at a character height of 10, one display list a glyph.
#include <GL/gl.h>

#include "platform/Platform.h"
#include "platform/Text.h"
#include "platform/win32/Win32Backend.h"

void CreateBitmapFont()
{
    gFontBase = glGenLists(kFontGlyphCount);
    HFONT font = CreateFontA(-10, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                             CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, FF_DONTCARE | DEFAULT_PITCH, "arial");
    HGDIOBJ previous = SelectObject(gHdc, font);
    wglUseFontBitmapsA(gHdc, kFontFirstChar, kFontGlyphCount, gFontBase);
    SelectObject(gHdc, previous);
    DeleteObject(font);
}
