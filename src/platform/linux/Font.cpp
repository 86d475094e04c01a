// The overlay font on Linux: fontconfig finds bold Arial (or its metric twin, Liberation Sans Bold),
// FreeType renders each glyph as a 1-bit bitmap of the height asked, placed and advanced as glBitmap
// wants it, rows from the top down as it gives them.
#include "platform/linux/FontFace.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>
#include <vector>

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

static FontGlyph MakeGlyph(FT_GlyphSlot slot)
{
    const FT_Bitmap& bitmap = slot->bitmap;
    FontGlyph glyph;
    glyph.width = int(bitmap.width);
    glyph.height = int(bitmap.rows);
    glyph.xorig = float(-slot->bitmap_left);
    glyph.yorig = float(int(bitmap.rows) - slot->bitmap_top);
    glyph.xmove = float(slot->advance.x) / 64;
    const int rowBytes = (glyph.width + 7) / 8;
    glyph.rows.assign(size_t(rowBytes) * bitmap.rows, 0);
    for (unsigned r = 0; r < bitmap.rows; ++r)
        for (int b = 0; b < rowBytes; ++b)
            glyph.rows[size_t(r) * rowBytes + b] = bitmap.buffer[int(r) * bitmap.pitch + b];
    return glyph;
}

std::vector<FontGlyph> RenderFontGlyphs(int pixelHeight)
{
    std::vector<FontGlyph> glyphs;
    std::string file = FindFontFile();
    FT_Library library;
    if (file.empty() || FT_Init_FreeType(&library) != 0)
        return glyphs;
    FT_Face face;
    if (FT_New_Face(library, file.c_str(), 0, &face) == 0) {
        if (FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixelHeight)) == 0) {
            glyphs.resize(kFontGlyphCount);
            for (int i = 0; i < kFontGlyphCount; ++i) {
                // A glyph that cannot be rendered stays blank: that character draws nothing.
                if (FT_Load_Char(face, FT_ULong(kFontFirstChar + i), FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) == 0 &&
                    face->glyph->bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
                    glyphs[size_t(i)] = MakeGlyph(face->glyph);
            }
        }
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return glyphs;
}

std::vector<FontGlyph> CreateBitmapFont()
{
    return RenderFontGlyphs(kFontPixelHeight);
}
