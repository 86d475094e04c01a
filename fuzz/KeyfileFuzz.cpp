// The Linux keyfile store on an arbitrary file: reading it never fails the run, and saving over it
// always leaves a whole file that reads back as what was saved.
#include <glib.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/SettingsStore.h"
#include "platform/Platform.h"

static std::string gPath;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Before GLib first reads it: the store lives in a folder of this run's own.
    char* home = g_dir_make_tmp("kelvaron-fuzz-XXXXXX", nullptr);
    g_setenv("XDG_CONFIG_HOME", home, TRUE);
    gPath = std::string(home) + "/kelvaron";
    g_mkdir_with_parents(gPath.c_str(), 0700);
    gPath += "/kelvaron.conf";
    g_free(home);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!g_file_set_contents(gPath.c_str(), reinterpret_cast<const char*>(data), gssize(size), nullptr))
        return 0;
    StoredSettings stored;
    ReadStoredSettings(&stored);
    const int32_t values[kStoredValueCount] = {32, 800, 600, 60, -50000, 2000, 1, 0};
    char error[512];
    if (!WriteStoredSettings(values, error, sizeof error))
        std::abort();
    ReadStoredSettings(&stored);
    for (int i = 0; i < kStoredValueCount; ++i)
        if (!stored.present[i] || stored.values[i] != values[i])
            std::abort();
    return 0;
}
