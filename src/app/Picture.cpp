#include "app/Picture.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "platform/Platform.h"

static bool IsTaken(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file)
        std::fclose(file);
    return file != nullptr;
}

static std::string NewPicturePath(const char* folder)
{
    char stamp[32];
    std::time_t now = std::time(nullptr);
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d-%H%M%S", std::localtime(&now));
    std::string base = std::string(folder) + "kelvaron-" + stamp, path = base + ".png";
    for (int n = 2; IsTaken(path); ++n)
        path = base + "-" + std::to_string(n) + ".png";
    return path;
}

bool SavePicture(const unsigned char* rgb, int width, int height, char* where, size_t whereSize)
{
    char folder[1024];
    if (!FindPicturesFolder(folder, sizeof folder)) {
        std::snprintf(where, whereSize, "there is no pictures folder to save into");
        return false;
    }
    const std::string path = NewPicturePath(folder), part = path + ".part";
    char reason[512] = "";
    if (!WritePngFile(part.c_str(), rgb, width, height, reason, sizeof reason) ||
        (std::rename(part.c_str(), path.c_str()) != 0 &&
         std::snprintf(reason, sizeof reason, "%s", std::strerror(errno)) >= 0)) {
        std::snprintf(where, whereSize, "%s: %s", path.c_str(), reason);
        std::remove(part.c_str());
        return false;
    }
    std::snprintf(where, whereSize, "%s", path.c_str());
    return true;
}
