// The Linux settings file against what may be found on a disk: every unusable value is passed over
// for the default, and a save always leaves a whole file that reads back.
#include <doctest/doctest.h>

#include <glib.h>
#include <glib/gstdio.h>

#include <string>

#include "app/Settings.h"
#include "app/SettingsStore.h"
#include "platform/Platform.h"
#include "SmallDisk.h"

static std::string gFile;

// A settings folder of this process's own, set before GLib first reads XDG_CONFIG_HOME.
static void UseFile(const std::string& contents)
{
    if (gFile.empty()) {
        gchar* made = g_dir_make_tmp("kelvaron-config-XXXXXX", nullptr);
        REQUIRE(made);
        const std::string home = made;
        g_free(made);
        g_setenv("XDG_CONFIG_HOME", home.c_str(), TRUE);
        g_mkdir_with_parents((home + "/kelvaron").c_str(), 0700);
        gFile = home + "/kelvaron/kelvaron.conf";
    }
    g_remove(gFile.c_str());
    g_rmdir(gFile.c_str());
    REQUIRE(g_file_set_contents(gFile.c_str(), contents.data(), gssize(contents.size()), nullptr));
}

// What a run starts with, and what OK in the dialog then leaves on the disk.
static void CheckStartsWithDefaultsAndSavesWhole(const char* what)
{
    CAPTURE(what);
    gSettings = kDefaultSettings;
    LoadSettings();
    CHECK(gSettings.screenWidth == 640);
    CHECK(gSettings.screenHeight == 480);
    CHECK(gSettings.sGravity == -10.5f);
    CHECK(!gSettings.autopilot);
    gSettings.screenWidth = 800;
    char error[512];
    REQUIRE(SaveSettings(error, sizeof error));
    StoredSettings stored;
    ReadStoredSettings(&stored);
    const int32_t expected[kStoredValueCount] = {16, 800, 480, 30, -1050000, 1999, 0, 0};
    for (int i = 0; i < kStoredValueCount; ++i) {
        CHECK(stored.present[i]);
        CHECK(stored.values[i] == expected[i]);
    }
}

TEST_CASE("hostile settings files start the run with defaults and are replaced whole by a save")
{
    UseFile("");
    CheckStartsWithDefaultsAndSavesWhole("empty");
    UseFile(std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xfe", 18));
    CheckStartsWithDefaultsAndSavesWhole("binary");
    UseFile("[ScreenSaverKelvaron]\nbitsPP=16\nscreenWid");
    CheckStartsWithDefaultsAndSavesWhole("truncated in a line");
    UseFile("[ScreenSaverKelvaron]\nscreenWidth=0\nscreenHeight=99999\nsGravity=1e99\nautopilot=yes\n");
    CheckStartsWithDefaultsAndSavesWhole("values out of range or not numbers");
    std::string huge = "[ScreenSaverKelvaron]\n# " + std::string(1 << 20, 'x') + "\n";
    UseFile(huge);
    CheckStartsWithDefaultsAndSavesWhole("a megabyte long");
    // A folder where the file should be cannot be read, nor replaced: the save says so.
    g_remove(gFile.c_str());
    g_mkdir(gFile.c_str(), 0700);
    gSettings = kDefaultSettings;
    LoadSettings();
    CHECK(gSettings.screenWidth == 640);
    char error[512] = "";
    CHECK(!SaveSettings(error, sizeof error));
    CHECK(std::string(error).find(gFile) != std::string::npos);
    g_rmdir(gFile.c_str());
}

TEST_CASE("duplicate keys and groups: the last value counts, and the file's other groups survive a save")
{
    UseFile("[Other]\nkept=1\n[ScreenSaverKelvaron]\nscreenWidth=800\nscreenWidth=1024\n"
            "[ScreenSaverKelvaron]\ndFps=60\n");
    gSettings = kDefaultSettings;
    LoadSettings();
    CHECK(gSettings.screenWidth == 1024);
    CHECK(gSettings.dFps == 60);
    char error[512];
    REQUIRE(SaveSettings(error, sizeof error));
    gchar* text = nullptr;
    REQUIRE(g_file_get_contents(gFile.c_str(), &text, nullptr, nullptr));
    CHECK(std::string(text).find("kept=1") != std::string::npos);
    g_free(text);
}

// The old file's text, to compare with after a failed save.
static std::string ReadWhole(const std::string& path)
{
    gchar* text = nullptr;
    gsize size = 0;
    std::string whole = g_file_get_contents(path.c_str(), &text, &size, nullptr) ? std::string(text, size) : "";
    g_free(text);
    return whole;
}

static void CheckSaveFails(const char* reason, const std::string& old)
{
    CAPTURE(reason);
    gSettings = kDefaultSettings;
    gSettings.screenWidth = 1024;
    char error[512] = "";
    CHECK(!SaveSettings(error, sizeof error));
    CHECK(std::string(error).find(reason) != std::string::npos);
    CHECK(ReadWhole(gFile) == old);
    // Nothing of the attempt is left beside it.
    GDir* dir = g_dir_open(gFile.substr(0, gFile.rfind('/')).c_str(), 0, nullptr);
    REQUIRE(dir);
    int others = 0;
    while (const char* name = g_dir_read_name(dir))
        others += std::string(name) != "kelvaron.conf" && std::string(name) != "filler";
    g_dir_close(dir);
    CHECK(others == 0);
}

TEST_CASE("a save onto a full or a read-only file system says why and leaves the old file whole")
{
    UseFile("");
    const std::string folder = gFile.substr(0, gFile.rfind('/'));
    if (!MountSmallDisk(folder, 64 * 1024))
        return;
    const std::string old = "[ScreenSaverKelvaron]\nscreenWidth=800\n# " + std::string(2000, 'x') + "\n";
    UseFile(old);
    FillSmallDisk(folder);
    CheckSaveFails(g_strerror(ENOSPC), old);
    REQUIRE(MakeSmallDiskReadOnly(folder));
    CheckSaveFails(g_strerror(EROFS), old);
    UnmountSmallDisk(folder);
}
