// Pictures on Windows: a PNG written with stb_image_write (Debian's libstb-dev) into the user's
// Pictures folder.
#include <shlobj.h>

#include <cstdio>
#include <ctime>
#include <string>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO_WIDE  // ANSI paths, as everywhere in this build
#include <stb/stb_image_write.h>

#include "platform/Platform.h"
#include "platform/win32/Win32Backend.h"

// kelvaron-YYYY-MM-DD-HHMMSS.png, with -2, -3, ... when several frames are saved within a second.
static std::string NewPicturePath()
{
    char folder[MAX_PATH] = ".";
    SHGetFolderPathA(nullptr, CSIDL_MYPICTURES | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, folder);
    char stamp[32];
    std::time_t now = std::time(nullptr);
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d-%H%M%S", std::localtime(&now));
    std::string base = std::string(folder) + "\\kelvaron-" + stamp, path = base + ".png";
    for (int n = 2; GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; ++n)
        path = base + "-" + std::to_string(n) + ".png";
    return path;
}

bool SavePicture(const unsigned char* rgb, int width, int height, char* where, size_t whereSize)
{
    // Written under another name and renamed when whole: nobody sees half a picture.
    std::string path = NewPicturePath(), part = path + ".part";
    if (!stbi_write_png(part.c_str(), width, height, 3, rgb, width * 3) || !MoveFileA(part.c_str(), path.c_str())) {
        std::snprintf(where, whereSize, "%s could not be written", path.c_str());
        DeleteFileA(part.c_str());
        return false;
    }
    std::snprintf(where, whereSize, "%s", path.c_str());
    return true;
}
