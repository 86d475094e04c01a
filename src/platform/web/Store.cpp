// The settings in the page: one localStorage item holding the values in their stored form (the
// fixed-point integers), by name, as JSON. One item is written whole or not at all, so saved
// settings are never half-written; names this build does not know are kept.
#include <emscripten.h>

#include "platform/Platform.h"

// 1 with the value when the item holds NAME as a whole number in the range of a stored value; 0 when
// it lacks it, with a word on the console when the value is there but unreadable.
EM_JS(int, ReadStoredValue, (const char* nameText, int32_t* value), {
    const name = UTF8ToString(nameText);
    let stored;
    try {
        stored = JSON.parse(localStorage.getItem('kelvaron.settings') || '{}');
    } catch (e) {
        console.warn('kelvaron: ignoring the stored settings: ' + e.message);
        return 0;
    }
    if (stored === null || typeof stored != 'object' || !(name in stored)) return 0;
    const v = stored[name];
    if (!Number.isInteger(v) || v < -2147483648 || v > 2147483647) {
        console.warn('kelvaron: stored ' + name + ' = ' + JSON.stringify(v) +
                     ' is not a whole number from -2147483648 to 2147483647; it is left as it was');
        return 0;
    }
    HEAP32[value >> 2] = v;
    return 1;
});

void ReadStoredSettings(StoredSettings* stored)
{
    *stored = StoredSettings{};
    for (int i = 0; i < kStoredValueCount; ++i)
        stored->present[i] = ReadStoredValue(kSettingNames[i], &stored->values[i]) != 0;
}

EM_JS(int, WriteStoredValues, (const char* const* names, const int32_t* values, int count, char* error, int errorSize), {
    let stored = {};
    try {
        const old = JSON.parse(localStorage.getItem('kelvaron.settings') || '{}');
        if (old !== null && typeof old == 'object' && !Array.isArray(old)) stored = old;
    } catch (e) {
        // An item that cannot be read is replaced.
    }
    for (let i = 0; i < count; i++) stored[UTF8ToString(HEAP32[(names >> 2) + i])] = HEAP32[(values >> 2) + i];
    try {
        localStorage.setItem('kelvaron.settings', JSON.stringify(stored));
        return 1;
    } catch (e) {
        stringToUTF8("Could not save the settings in the browser's storage: " + e.message, error, errorSize);
        return 0;
    }
});

bool WriteStoredSettings(const int32_t values[kStoredValueCount], char* error, size_t errorSize)
{
    return WriteStoredValues(kSettingNames, values, kStoredValueCount, error, int(errorSize)) != 0;
}
