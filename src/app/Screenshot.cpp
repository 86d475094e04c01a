#include "app/Screenshot.h"

#include <cstdio>
#include <vector>

#include "app/Picture.h"
#include "app/RunState.h"
#include "gl/FrameReadback.h"
#include "platform/Platform.h"

void SaveScreenshot()
{
    const int width = gWindowWidth, height = gWindowHeight;
    if (width <= 0 || height <= 0)
        return;
    const std::vector<unsigned char> picture = ReadFrameRgb(width, height);
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
