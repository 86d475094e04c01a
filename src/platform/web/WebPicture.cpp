// Pictures from the page: a PNG the browser downloads, named with the date and time as the desktop
// builds name theirs.
#include <emscripten.h>

#include <cstdio>
#include <ctime>

#include "platform/Platform.h"

EM_JS(int, DownloadPng, (const unsigned char* rgb, int width, int height, const char* nameText), {
    const canvas = document.createElement('canvas');
    canvas.width = width;
    canvas.height = height;
    const context = canvas.getContext('2d');
    if (!context) return 0;
    const image = context.createImageData(width, height);
    for (let i = 0, j = 0; i < width * height * 3; i += 3, j += 4) {
        image.data[j] = HEAPU8[rgb + i];
        image.data[j + 1] = HEAPU8[rgb + i + 1];
        image.data[j + 2] = HEAPU8[rgb + i + 2];
        image.data[j + 3] = 255;
    }
    context.putImageData(image, 0, 0);
    const name = UTF8ToString(nameText);
    canvas.toBlob((blob) => {
        const link = document.createElement('a');
        link.href = URL.createObjectURL(blob);
        link.download = name;
        link.click();
        setTimeout(() => URL.revokeObjectURL(link.href), 10000);
    }, 'image/png');
    return 1;
});

bool SavePicture(const unsigned char* rgb, int width, int height, char* where, size_t whereSize)
{
    char name[64];
    std::time_t now = std::time(nullptr);
    std::strftime(name, sizeof name, "kelvaron-%Y-%m-%d-%H%M%S.png", std::localtime(&now));
    if (!DownloadPng(rgb, width, height, name)) {
        std::snprintf(where, whereSize, "the page cannot make pictures here");
        return false;
    }
    std::snprintf(where, whereSize, "%s in your downloads", name);
    return true;
}
