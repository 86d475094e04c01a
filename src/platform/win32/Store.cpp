// The settings on Windows: eight REG_DWORD values under HKEY_CURRENT_USER\Software\ScreenSaverKelvaron,
// as earlier installations hold them.
#include <cstdio>

#include "platform/Platform.h"
#include "platform/win32/Win32Backend.h"

static const char* const kSettingsKey = "Software\\ScreenSaverKelvaron";

// The registry keeps each value whole but not the eight together: a save and a read in another
// process (two settings dialogs, a dialog and a starting run) take turns through a named mutex, so
// that a read never sees half of one save and half of another. A holder that died leaves it
// abandoned, which still hands it on; one that hangs is waited for no longer than a user would.
static HANDLE TakeSettingsTurn()
{
    HANDLE turn = CreateMutexA(nullptr, FALSE, "Local\\KelvaronSettings");
    if (turn)
        WaitForSingleObject(turn, 5000);
    return turn;
}

static void EndSettingsTurn(HANDLE turn)
{
    if (!turn)
        return;
    ReleaseMutex(turn);
    CloseHandle(turn);
}

void ReadStoredSettings(StoredSettings* stored)
{
    *stored = StoredSettings{};
    HKEY key;
    HANDLE turn = TakeSettingsTurn();
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        EndSettingsTurn(turn);
        return;
    }
    for (int i = 0; i < kStoredValueCount; ++i) {
        // At most four bytes are read, and only a REG_DWORD counts: a value of another type or size
        // under the same name (text "800" is four bytes too) leaves its field alone.
        DWORD size = sizeof(int32_t), type = 0;
        LONG result = RegQueryValueExA(key, kSettingNames[i], nullptr, &type,
                                       reinterpret_cast<BYTE*>(&stored->values[i]), &size);
        stored->present[i] = result == ERROR_SUCCESS && type == REG_DWORD && size == sizeof(int32_t);
    }
    RegCloseKey(key);
    EndSettingsTurn(turn);
}

bool WriteStoredSettings(const int32_t values[kStoredValueCount], char* error, size_t errorSize)
{
    HKEY key;
    DWORD disposition;
    HANDLE turn = TakeSettingsTurn();
    LONG result = RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, const_cast<char*>(""), REG_OPTION_NON_VOLATILE,
                                  KEY_WRITE, nullptr, &key, &disposition);
    if (result == ERROR_SUCCESS) {
        for (int i = 0; result == ERROR_SUCCESS && i < kStoredValueCount; ++i)
            result = RegSetValueExA(key, kSettingNames[i], 0, REG_DWORD, reinterpret_cast<const BYTE*>(&values[i]),
                                    sizeof(int32_t));
        RegCloseKey(key);
    }
    EndSettingsTurn(turn);
    if (result == ERROR_SUCCESS)
        return true;
    char reason[256] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, DWORD(result), 0, reason,
                   sizeof reason, nullptr);
    std::snprintf(error, errorSize, "Could not save the settings to HKEY_CURRENT_USER\\%s: %s", kSettingsKey, reason);
    return false;
}
