// Pictures on Windows: the user's Pictures folder, and PNGs written with stb_image_write (Debian's
// libstb-dev).
#include <shlobj.h>

#include <cstdio>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO_WIDE  // ANSI paths, as everywhere in this build
#include <stb/stb_image_write.h>

#include "platform/Platform.h"
#include "platform/win32/Win32Backend.h"

bool FindPicturesFolder(char* folder, size_t folderSize)
{
    char path[MAX_PATH];
    if (SHGetFolderPathA(nullptr, CSIDL_MYPICTURES | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK)
        return false;
    return std::snprintf(folder, folderSize, "%s\\", path) < int(folderSize);
}

bool WritePngFile(const char* path, const unsigned char* rgb, int width, int height, char* error, size_t errorSize)
{
    if (stbi_write_png(path, width, height, 3, rgb, width * 3))
        return true;
    std::snprintf(error, errorSize, "could not be written");
    return false;
}
