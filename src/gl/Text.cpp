#include "gl/Text.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

GLuint gFontBase;

void PrintText(const char* format, ...)
{
    if (!format || !gFontBase)
        return;
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    glPushAttrib(GL_LIST_BIT);
    glListBase(gFontBase - kFontFirstChar);
    glCallLists(GLsizei(std::strlen(text)), GL_UNSIGNED_BYTE, text);
    glPopAttrib();
}

void DeleteBitmapFont()
{
    // Forget the names, so that a later call cannot delete lists made since for something else.
    if (gFontBase)
        glDeleteLists(gFontBase, kFontGlyphCount);
    gFontBase = 0;
}
