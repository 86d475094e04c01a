// The overlay font in the page: the glyphs the build rendered from the Linux build's font, at the
// height the canvas's scale asks for.
#include <cstdio>

#include "platform/Platform.h"
#include "platform/web/GlyphFile.h"
#include "platform/web/WebBackend.h"

// Where the page's data puts them (cmake/Web.cmake).
static const char* const kGlyphPath = "/kelvaron/glyphs";

std::vector<FontGlyph> CreateBitmapFont()
{
    std::FILE* file = std::fopen(kGlyphPath, "rb");
    if (!file) {
        std::fprintf(stderr, "kelvaron: no overlay glyphs at %s: the overlay has no text\n", kGlyphPath);
        return {};
    }
    std::vector<FontGlyph> glyphs = ReadGlyphFile(file, ReadCanvasScale());
    std::fclose(file);
    if (glyphs.empty())
        std::fprintf(stderr, "kelvaron: %s is not a glyph file: the overlay has no text\n", kGlyphPath);
    return glyphs;
}
