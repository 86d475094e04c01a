// One of several processes at the settings store at once, through the platform's own store: a writer
// saves COUNT whole sets of its own, a reader reads until the writers are done and checks every read
// is one whole set, never a mix of two or a broken store.
//   kelvaron-settings-writers write WRITER COUNT
//   kelvaron-settings-writers read STOP-FILE
// Each first leaves a file ready-WRITER (ready-reader) in the working folder and waits for a file
// "go" there, so that all start at once however long each took to start.
// Prints what it did; the status is 1 when a read was a mix or a save failed.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "platform/Platform.h"

// Every value of set I of writer W tells both apart from any other set.
static int32_t ValueOf(int writer, int set, int field)
{
    return writer * 1000000 + set * 10 + field;
}

static bool Exists(const char* path)
{
    std::FILE* file = std::fopen(path, "rb");
    if (file)
        std::fclose(file);
    return file != nullptr;
}

static void WaitForTheOthers(const std::string& me)
{
    if (std::FILE* ready = std::fopen(("ready-" + me).c_str(), "wb"))
        std::fclose(ready);
    while (!Exists("go"))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

static int Write(int writer, int count)
{
    WaitForTheOthers(std::to_string(writer));
    int failed = 0;
    for (int set = 0; set < count; ++set) {
        int32_t values[kStoredValueCount];
        for (int field = 0; field < kStoredValueCount; ++field)
            values[field] = ValueOf(writer, set, field);
        char error[512];
        if (!WriteStoredSettings(values, error, sizeof error)) {
            if (++failed <= 3)
                std::printf("writer %d: %s\n", writer, error);
        }
    }
    std::printf("writer %d: %d saves, %d failed\n", writer, count, failed);
    return failed ? 1 : 0;
}

// A whole set: every value there, all from one writer's one set.
static bool IsWholeSet(const StoredSettings& stored)
{
    for (int field = 0; field < kStoredValueCount; ++field)
        if (!stored.present[field] || stored.values[field] - field != stored.values[0])
            return false;
    return true;
}

static int Read(const char* stop)
{
    WaitForTheOthers("reader");
    long reads = 0, mixed = 0;
    while (!Exists(stop)) {
        StoredSettings stored;
        ReadStoredSettings(&stored);
        ++reads;
        if (!IsWholeSet(stored) && ++mixed <= 3) {
            std::printf("reader: a mixed or broken read:");
            for (int field = 0; field < kStoredValueCount; ++field)
                std::printf(stored.present[field] ? " %d" : " -", stored.values[field]);
            std::printf("\n");
        }
    }
    std::printf("reader: %ld reads, %ld mixed or broken\n", reads, mixed);
    return mixed ? 1 : 0;
}

int main(int argc, char** argv)
{
    if (argc == 4 && !std::strcmp(argv[1], "write"))
        return Write(std::atoi(argv[2]), std::atoi(argv[3]));
    if (argc == 3 && !std::strcmp(argv[1], "read"))
        return Read(argv[2]);
    std::fprintf(stderr, "usage: %s write WRITER COUNT | read STOP-FILE\n", argv[0]);
    return 2;
}
