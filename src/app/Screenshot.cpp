#include "app/Screenshot.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/Input.h"
#include "app/RunState.h"
#include "gl/Gl.h"
#include "platform/Platform.h"

void SaveScreenshot()
{
    gScreenshotRequested = false;
    const int width = gWindowWidth, height = gWindowHeight;
    if (width <= 0 || height <= 0)
        return;
    // GL's rows run bottom up; a picture's top down.
    std::vector<unsigned char> rows(size_t(width) * height * 3), picture(rows.size());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rows.data());
    const size_t rowBytes = size_t(width) * 3;
    for (int y = 0; y < height; ++y)
        std::copy_n(&rows[size_t(height - 1 - y) * rowBytes], rowBytes, &picture[size_t(y) * rowBytes]);
    char where[1024];
    if (SavePicture(picture.data(), width, height, where, sizeof where)) {
        std::fprintf(stderr, "kelvaron: saved the frame as %s\n", where);
        char title[1100];
        std::snprintf(title, sizeof title, "Saved %s", where);
        SetRenderWindowTitle(title);
    } else {
        std::fprintf(stderr, "kelvaron: could not save the frame: %s\n", where);
    }
}
