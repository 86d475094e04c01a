// The Windows settings in the real registry (Wine's, in the tests): values of every wrong type and
// size are passed over for the defaults, and a save writes all eight as REG_DWORD.
#include <doctest/doctest.h>

#include <windows.h>

#include <cstdint>

#include "app/Settings.h"
#include "app/SettingsStore.h"
#include "platform/Platform.h"

static const char* const kKey = "Software\\ScreenSaverKelvaron";

static HKEY OpenKey()
{
    HKEY key = nullptr;
    REQUIRE(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ==
            ERROR_SUCCESS);
    return key;
}

TEST_CASE("registry values of a wrong type or size count as not stored, and a save mends them")
{
    RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
    HKEY key = OpenKey();
    const int64_t wide = 800;
    const uint16_t narrow = 800;
    const uint32_t dword = 60;
    RegSetValueExA(key, "bitsPP", 0, REG_SZ, reinterpret_cast<const BYTE*>("32"), 3);
    RegSetValueExA(key, "screenWidth", 0, REG_QWORD, reinterpret_cast<const BYTE*>(&wide), sizeof wide);
    RegSetValueExA(key, "screenHeight", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&narrow), sizeof narrow);
    RegSetValueExA(key, "dFps", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&dword), sizeof dword);
    RegSetValueExA(key, "sGravity", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>("%TEMP%"), 7);
    RegSetValueExA(key, "boxMass", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>("a\0b\0"), 5);
    RegSetValueExA(key, "autopilot", 0, REG_DWORD_BIG_ENDIAN, reinterpret_cast<const BYTE*>(&dword), sizeof dword);
    RegSetValueExA(key, "steadyPace", 0, REG_NONE, nullptr, 0);
    RegCloseKey(key);

    StoredSettings stored;
    ReadStoredSettings(&stored);
    for (int i = 0; i < kStoredValueCount; ++i) {
        CAPTURE(kSettingNames[i]);
        CHECK(!stored.present[i]);
    }
    gSettings = kDefaultSettings;
    LoadSettings();
    CHECK(gSettings.screenWidth == 640);
    CHECK(gSettings.dFps == 30);
    CHECK(!gSettings.autopilot);

    char error[512];
    REQUIRE(SaveSettings(error, sizeof error));
    key = OpenKey();
    for (int i = 0; i < kStoredValueCount; ++i) {
        DWORD type = 0, size = 8;
        BYTE data[8];
        CHECK(RegQueryValueExA(key, kSettingNames[i], nullptr, &type, data, &size) == ERROR_SUCCESS);
        CHECK(type == REG_DWORD);
        CHECK(size == 4);
    }
    RegCloseKey(key);
    RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
}
