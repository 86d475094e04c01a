#include "SnapshotFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "record/KeptFiles.h"
#include "physics/Bytes.h"
#include "sim/Snapshot.h"

constexpr long kLargestSnapshot = 1 << 20;  // some fifty times the scene's

bool WriteSnapshotFile(const char* path, std::string& why)
{
    ByteWriter snapshot{};
    SaveSnapshot(snapshot);
    char reason[512] = "";
    const bool written = WriteFileWhole(
        path,
        [&](const char* part, char* partReason, size_t partReasonSize) {
            std::FILE* file = std::fopen(part, "wb");
            bool ok = file && std::fwrite(snapshot.bytes.data(), 1, snapshot.used, file) == snapshot.used;
            if (file && std::fclose(file) != 0)
                ok = false;
            if (!ok)
                std::snprintf(partReason, partReasonSize, "%s", std::strerror(errno ? errno : EIO));
            return ok;
        },
        reason, sizeof reason);
    if (!written)
        why = reason;
    return written;
}

bool ReadSnapshotFile(const char* path, std::vector<uint8_t>& bytes, std::string& why)
{
    std::FILE* file = std::fopen(path, "rb");
    if (!file) {
        why = std::strerror(errno);
        return false;
    }
    bytes.clear();
    uint8_t block[4096];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0 && long(bytes.size()) <= kLargestSnapshot)
        bytes.insert(bytes.end(), block, block + got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed)
        why = "it could not be read";
    else if (long(bytes.size()) > kLargestSnapshot)
        why = "not a Kelvaron snapshot: far too large for one";
    return !failed && long(bytes.size()) <= kLargestSnapshot;
}
