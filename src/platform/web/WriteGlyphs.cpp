// Run when the page is built, on the build machine: the Linux build's overlay glyphs (FreeType,
// bold Arial or its metric twin) at every height the page's canvas may need, into the page's data,
// so that its text reads as on Linux.
//   kelvaron-write-glyphs FILE
#include <cstdio>

#include "platform/linux/FontFace.h"
#include "platform/web/GlyphFile.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: kelvaron-write-glyphs FILE\n");
        return 2;
    }
    std::vector<std::vector<FontGlyph>> glyphsByHeight;
    for (int height = kGlyphHeightFrom; height <= kGlyphHeightTo; ++height) {
        glyphsByHeight.push_back(RenderFontGlyphs(height));
        if (glyphsByHeight.back().empty()) {
            std::fprintf(stderr, "kelvaron-write-glyphs: no overlay font (bold Arial or Liberation Sans Bold) was found\n");
            return 1;
        }
    }
    std::FILE* file = std::fopen(argv[1], "wb");
    bool written = file && WriteGlyphFile(file, kFontPixelHeight, glyphsByHeight);
    if (file && std::fclose(file) != 0)
        written = false;
    if (!written) {
        std::fprintf(stderr, "kelvaron-write-glyphs: cannot write %s\n", argv[1]);
        std::remove(argv[1]);
        return 1;
    }
    return 0;
}
