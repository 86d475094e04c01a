// The overlay font on Linux: fontconfig finds bold Arial (or its metric twin, Liberation Sans Bold),
// FreeType renders each glyph as a 1-bit bitmap 10 pixels high, and each glyph becomes a display list
// that draws it at the raster position and advances it, as wglUseFontBitmapsA's lists do.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>
#include <vector>

#include "gl/Text.h"
#include "platform/Platform.h"

constexpr int kFontPixelHeight = 10;

static std::string FindFontFile()
{
    std::string path;
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config)
        return path;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("Arial:bold"));
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    if (FcPattern* match = FcFontMatch(config, pattern, &result)) {
        FcChar8* file;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch)
            path = reinterpret_cast<const char*>(file);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    FcConfigDestroy(config);
    return path;
}

// glBitmap wants rows from the bottom up, FreeType gives them from the top down.
static void CompileGlyph(GLuint list, FT_GlyphSlot glyph, std::vector<GLubyte>& rows)
{
    const FT_Bitmap& bitmap = glyph->bitmap;
    int rowBytes = (int(bitmap.width) + 7) / 8;
    rows.assign(size_t(rowBytes) * bitmap.rows, 0);
    for (unsigned r = 0; r < bitmap.rows; ++r)
        for (int b = 0; b < rowBytes; ++b)
            rows[size_t(bitmap.rows - 1 - r) * rowBytes + b] = bitmap.buffer[int(r) * bitmap.pitch + b];
    glNewList(list, GL_COMPILE);
    glBitmap(GLsizei(bitmap.width), GLsizei(bitmap.rows), GLfloat(-glyph->bitmap_left),
             GLfloat(int(bitmap.rows) - glyph->bitmap_top), GLfloat(glyph->advance.x) / 64, 0,
             rows.empty() ? nullptr : rows.data());
    glEndList();
}

unsigned CreateBitmapFont()
{
    GLuint base = 0;
    std::string file = FindFontFile();
    FT_Library library;
    if (file.empty() || FT_Init_FreeType(&library) != 0)
        return 0;
    FT_Face face;
    if (FT_New_Face(library, file.c_str(), 0, &face) == 0) {
        if (FT_Set_Pixel_Sizes(face, 0, kFontPixelHeight) == 0)
            base = glGenLists(kFontGlyphCount);
        if (base) {
            GLint alignment;
            glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
            glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
            std::vector<GLubyte> rows;
            for (int i = 0; i < kFontGlyphCount; ++i) {
                // A glyph that cannot be rendered leaves an empty list: that character draws nothing.
                if (FT_Load_Char(face, FT_ULong(kFontFirstChar + i), FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) == 0 &&
                    face->glyph->bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
                    CompileGlyph(base + GLuint(i), face->glyph, rows);
                } else {
                    glNewList(base + GLuint(i), GL_COMPILE);
                    glEndList();
                }
            }
            glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
        }
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return base;
}
