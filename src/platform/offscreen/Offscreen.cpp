#include "platform/offscreen/Offscreen.h"

#include <GL/osmesa.h>
#include <png.h>

#include <vector>

// The backend's one record: Mesa's context and the frame it draws into.
struct OffscreenGl {
    OSMesaContext context;
    std::vector<uint8_t> frame;  // RGBA, bottom row first
    int width, height;
};
static OffscreenGl gOffscreen;

bool StartOffscreenGl(int width, int height)
{
    gOffscreen.context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, nullptr);
    if (!gOffscreen.context)
        return false;
    gOffscreen.width = width;
    gOffscreen.height = height;
    gOffscreen.frame.assign(size_t(width) * height * 4, 0);
    if (OSMesaMakeCurrent(gOffscreen.context, gOffscreen.frame.data(), GL_UNSIGNED_BYTE, width, height))
        return true;
    EndOffscreenGl();
    return false;
}

void EndOffscreenGl()
{
    OSMesaDestroyContext(gOffscreen.context);
    gOffscreen.context = nullptr;
}

Rgb ReadPixel(int x, int y)
{
    glFinish();
    const uint8_t* p = &gOffscreen.frame[(size_t(y) * gOffscreen.width + x) * 4];
    return {p[0], p[1], p[2]};
}

int CountPixels(int x0, int y0, int width, int height, bool (*test)(Rgb))
{
    int n = 0;
    for (int y = y0; y < y0 + height; ++y)
        for (int x = x0; x < x0 + width; ++x)
            n += test(ReadPixel(x, y));
    return n;
}

bool IsBlack(Rgb c)
{
    return c.r == 0 && c.g == 0 && c.b == 0;
}

std::vector<unsigned char> ReadPngRgb(const char* path, int* width, int* height)
{
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    std::vector<unsigned char> rgb;
    if (!png_image_begin_read_from_file(&image, path))
        return rgb;
    image.format = PNG_FORMAT_RGB;
    rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr))
        rgb.clear();
    *width = int(image.width);
    *height = int(image.height);
    return rgb;
}

int CountDifferencesFromPng(const char* path)
{
    int width = 0, height = 0;
    std::vector<unsigned char> rgb = ReadPngRgb(path, &width, &height);
    if (rgb.empty() || width != gOffscreen.width || height != gOffscreen.height)
        return -1;
    glFinish();
    int differences = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t* drawn = &gOffscreen.frame[(size_t(height - 1 - y) * width + x) * 4];  // GL's rows bottom up
            const unsigned char* recorded = &rgb[(size_t(y) * width + x) * 3];
            differences += drawn[0] != recorded[0] || drawn[1] != recorded[1] || drawn[2] != recorded[2];
        }
    return differences;
}

bool SaveFramePng(const char* path)
{
    glFinish();
    // The clear colour's alpha is 0.5; a screen shows the colour alone.
    std::vector<uint8_t> rgb;
    for (size_t i = 0; i < gOffscreen.frame.size(); i += 4)
        rgb.insert(rgb.end(), &gOffscreen.frame[i], &gOffscreen.frame[i + 3]);
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(gOffscreen.width);
    image.height = png_uint_32(gOffscreen.height);
    image.format = PNG_FORMAT_RGB;
    // A negative row stride writes the bottom-up GL rows top row first.
    return png_image_write_to_file(&image, path, 0, rgb.data(), -gOffscreen.width * 3, nullptr) != 0;
}
