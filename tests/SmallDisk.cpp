#include "SmallDisk.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

bool MountSmallDisk(const std::string& folder, long bytes)
{
    const std::string options = "size=" + std::to_string(bytes);
    if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) != 0) {
        std::printf("skipped: no small file system of our own (%s; it needs root)\n", std::strerror(errno));
        return false;
    }
    return true;
}

void FillSmallDisk(const std::string& folder)
{
    int fd = open((folder + "/filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    static const char block[4096] = {};
    size_t size = sizeof block;
    while (fd >= 0 && size > 0)
        if (write(fd, block, size) < 0)
            size /= 2;  // the last few bytes too
    close(fd);
}

bool MakeSmallDiskReadOnly(const std::string& folder)
{
    return mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

void UnmountSmallDisk(const std::string& folder)
{
    umount2(folder.c_str(), MNT_DETACH);
}
