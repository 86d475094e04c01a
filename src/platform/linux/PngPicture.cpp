// Pictures on Linux: a PNG written with libpng into the user's pictures folder (XDG's PICTURES
// directory, as xdg-user-dir names it), or the home folder when there is none.
#include <glib.h>
#include <glib/gstdio.h>
#include <png.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <string>

#include "platform/Platform.h"

static std::string PicturesFolder()
{
    const char* folder = g_get_user_special_dir(G_USER_DIRECTORY_PICTURES);
    if (folder && g_file_test(folder, G_FILE_TEST_IS_DIR))
        return folder;
    return g_get_home_dir();
}

// kelvaron-YYYY-MM-DD-HHMMSS.png, with -2, -3, ... when several frames are saved within a second.
static std::string NewPicturePath()
{
    char stamp[32];
    std::time_t now = std::time(nullptr);
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d-%H%M%S", std::localtime(&now));
    std::string base = PicturesFolder() + "/kelvaron-" + stamp, path = base + ".png";
    for (int n = 2; g_file_test(path.c_str(), G_FILE_TEST_EXISTS); ++n)
        path = base + "-" + std::to_string(n) + ".png";
    return path;
}

bool SavePicture(const unsigned char* rgb, int width, int height, char* where, size_t whereSize)
{
    // Written under another name and renamed when whole: nobody sees half a picture.
    std::string path = NewPicturePath(), part = path + ".part";
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&image, part.c_str(), 0, rgb, width * 3, nullptr) ||
        g_rename(part.c_str(), path.c_str()) != 0) {
        std::snprintf(where, whereSize, "%s: %s", path.c_str(), image.message[0] ? image.message : g_strerror(errno));
        g_remove(part.c_str());
        return false;
    }
    std::snprintf(where, whereSize, "%s", path.c_str());
    return true;
}
