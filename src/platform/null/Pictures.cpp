// The null backend's pictures: raw RGB in the system's temporary folder, the last one kept in memory.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/null/NullPlatform.h"

bool FindPicturesFolder(char* folder, size_t folderSize)
{
    std::error_code error;
    std::filesystem::path temporary = std::filesystem::temp_directory_path(error);
    if (error)
        return false;
    std::snprintf(folder, folderSize, "%s", (temporary / "").string().c_str());
    return true;
}

bool WritePngFile(const char* path, const unsigned char* rgb, int width, int height, char* error, size_t errorSize)
{
    const size_t bytes = size_t(width) * size_t(height) * 3;
    std::FILE* file = std::fopen(path, "wb");
    bool written = file && std::fwrite(rgb, 1, bytes, file) == bytes;
    if (file && std::fclose(file) != 0)
        written = false;
    if (!written) {
        std::snprintf(error, errorSize, "the null backend could not write it");
        return false;
    }
    if (!gNull.picturePath.empty())
        std::remove(gNull.picturePath.c_str());
    gNull.picturePath = std::string(path, std::strlen(path) - std::strlen(".part"));  // its name once renamed
    gNull.picture.assign(rgb, rgb + bytes);
    gNull.pictureWidth = width;
    gNull.pictureHeight = height;
    return true;
}
