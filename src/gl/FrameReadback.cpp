#include "gl/FrameReadback.h"

#include <algorithm>

#include "gl/Gl.h"

std::vector<unsigned char> ReadFrameRgb(int width, int height)
{
    // GL's rows run bottom up; a picture's top down.
    const size_t rowBytes = size_t(width) * 3;
    std::vector<unsigned char> rows(rowBytes * size_t(height)), picture(rows.size());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rows.data());
    for (int y = 0; y < height; ++y)
        std::copy_n(&rows[size_t(height - 1 - y) * rowBytes], rowBytes, &picture[size_t(y) * rowBytes]);
    return picture;
}
