#include "platform/web/GlyphFile.h"

#include <cstdint>
#include <cstring>

// Both ends are little-endian (x86_64 and wasm32), so words go as they lie in memory.
static bool WriteWord(std::FILE* file, const void* word)
{
    return std::fwrite(word, 4, 1, file) == 1;
}

static bool ReadWord(std::FILE* file, void* word)
{
    return std::fread(word, 4, 1, file) == 1;
}

bool WriteGlyphFile(std::FILE* file, const std::vector<FontGlyph>& glyphs)
{
    for (const FontGlyph& g : glyphs) {
        const int32_t size[2] = {g.width, g.height};
        if (!WriteWord(file, &size[0]) || !WriteWord(file, &size[1]) || !WriteWord(file, &g.xorig) ||
            !WriteWord(file, &g.yorig) || !WriteWord(file, &g.xmove) ||
            std::fwrite(g.rows.data(), 1, g.rows.size(), file) != g.rows.size())
            return false;
    }
    return true;
}

std::vector<FontGlyph> ReadGlyphFile(std::FILE* file)
{
    std::vector<FontGlyph> glyphs(kFontGlyphCount);
    for (FontGlyph& g : glyphs) {
        int32_t size[2];
        if (!ReadWord(file, &size[0]) || !ReadWord(file, &size[1]) || !ReadWord(file, &g.xorig) ||
            !ReadWord(file, &g.yorig) || !ReadWord(file, &g.xmove) || size[0] < 0 || size[1] < 0 ||
            size[0] > 256 || size[1] > 256)
            return {};
        g.width = size[0];
        g.height = size[1];
        g.rows.resize(size_t((g.width + 7) / 8) * size_t(g.height));
        if (std::fread(g.rows.data(), 1, g.rows.size(), file) != g.rows.size())
            return {};
    }
    return glyphs;
}
