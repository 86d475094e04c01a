#include "record/KeptFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "platform/Platform.h"

static bool IsTaken(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file)
        std::fclose(file);
    return file != nullptr;
}

static std::string NewPicturePath(const char* folder, const char* extension)
{
    char stamp[32];
    std::time_t now = std::time(nullptr);
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d-%H%M%S", std::localtime(&now));
    std::string base = std::string(folder) + "kelvaron-" + stamp, path = base + "." + extension;
    for (int n = 2; IsTaken(path); ++n)
        path = base + "-" + std::to_string(n) + "." + extension;
    return path;
}

// Puts FROM in TO's place. Windows' C library renames onto no existing file (EEXIST): there the old
// file goes first, the new one whole beside it until then.
static bool MoveOver(const std::string& from, const std::string& to)
{
    if (std::rename(from.c_str(), to.c_str()) == 0)
        return true;
    return errno == EEXIST && std::remove(to.c_str()) == 0 && std::rename(from.c_str(), to.c_str()) == 0;
}

bool WriteFileWhole(const std::string& path, const FileWriter& write, char* reason, size_t reasonSize)
{
    const std::string part = path + ".part";
    if (!write(part.c_str(), reason, reasonSize) ||
        (!MoveOver(part, path) && std::snprintf(reason, reasonSize, "%s", std::strerror(errno)) >= 0)) {
        std::remove(part.c_str());
        return false;
    }
    return true;
}

bool SaveInPicturesFolder(const char* extension, const FileWriter& write, char* where, size_t whereSize)
{
    char folder[1024];
    if (!FindPicturesFolder(folder, sizeof folder)) {
        std::snprintf(where, whereSize, "there is no pictures folder to save into");
        return false;
    }
    const std::string path = NewPicturePath(folder, extension);
    char reason[512] = "";
    if (!WriteFileWhole(path, write, reason, sizeof reason)) {
        std::snprintf(where, whereSize, "%s: %s", path.c_str(), reason);
        return false;
    }
    std::snprintf(where, whereSize, "%s", path.c_str());
    return true;
}
