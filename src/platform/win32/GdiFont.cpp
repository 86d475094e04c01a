// The overlay font on Windows: bold Arial at a character height of 10, one display list a glyph.
#include <GL/gl.h>

#include "gl/Text.h"
#include "platform/Platform.h"
#include "platform/win32/Win32Backend.h"

unsigned CreateBitmapFont()
{
    GLuint base = glGenLists(kFontGlyphCount);
    if (!base)
        return 0;
    HFONT font = CreateFontA(-10, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                             CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, FF_DONTCARE | DEFAULT_PITCH, "arial");
    HGDIOBJ previous = SelectObject(gHdc, font);
    BOOL made = wglUseFontBitmapsA(gHdc, kFontFirstChar, kFontGlyphCount, base);
    SelectObject(gHdc, previous);
    DeleteObject(font);
    // Without glyphs the lists would draw nothing anyway; 0 says there is no font.
    if (!made) {
        glDeleteLists(base, kFontGlyphCount);
        return 0;
    }
    return base;
}
