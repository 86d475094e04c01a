// Pictures on Linux: XDG's PICTURES directory, as xdg-user-dir names it, or the home folder when
// there is none; PNGs written with libpng.
#include <glib.h>
#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/Platform.h"

bool FindPicturesFolder(char* folder, size_t folderSize)
{
    const char* pictures = g_get_user_special_dir(G_USER_DIRECTORY_PICTURES);
    if (!pictures || !g_file_test(pictures, G_FILE_TEST_IS_DIR))
        pictures = g_get_home_dir();
    return pictures && std::snprintf(folder, folderSize, "%s/", pictures) < int(folderSize);
}

bool WritePngFile(const char* path, const unsigned char* rgb, int width, int height, char* error, size_t errorSize)
{
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = PNG_FORMAT_RGB;
    errno = 0;
    if (png_image_write_to_file(&image, path, 0, rgb, width * 3, nullptr))
        return true;
    std::snprintf(error, errorSize, "%s", image.message[0] ? image.message : std::strerror(errno));
    return false;
}
