#include "platform/web/GlyphFile.h"

#include <algorithm>
#include <cmath>
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

static bool WriteGlyphs(std::FILE* file, const std::vector<FontGlyph>& glyphs)
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

bool WriteGlyphFile(std::FILE* file, int ownHeight, const std::vector<std::vector<FontGlyph>>& glyphsByHeight)
{
    const int32_t own = ownHeight;
    if (!WriteWord(file, &own))
        return false;
    for (size_t i = 0; i < glyphsByHeight.size(); ++i) {
        const int32_t height = kGlyphHeightFrom + int32_t(i);
        if (!WriteWord(file, &height) || !WriteGlyphs(file, glyphsByHeight[i]))
            return false;
    }
    return true;
}

static std::vector<FontGlyph> ReadGlyphs(std::FILE* file)
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

std::vector<FontGlyph> ReadGlyphFile(std::FILE* file, float scale)
{
    int32_t own, height;
    if (!ReadWord(file, &own) || !std::isfinite(scale))
        return {};
    const long wanted = std::clamp(std::lround(double(own) * double(scale)), long(kGlyphHeightFrom), long(kGlyphHeightTo));
    while (ReadWord(file, &height)) {
        std::vector<FontGlyph> glyphs = ReadGlyphs(file);
        if (glyphs.empty() || height == wanted)
            return glyphs;
    }
    return {};
}
