// The settings dialog's field reader on arbitrary text, one field a line: what it accepts is a
// usable run, and what it shows of that reads back to the same whole numbers.
#include <cstdlib>
#include <cstring>

#include "app/SettingsStore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SettingsFields fields = {};
    int field = 0;
    size_t length = 0;
    for (size_t i = 0; i < size && field < kFieldCount; ++i) {
        if (data[i] == '\n') {
            ++field;
            length = 0;
        } else if (length + 1 < kFieldTextSize && data[i]) {
            fields.text[field][length++] = char(data[i]);
        }
    }
    Settings read = kDefaultSettings;
    if (ReadSettingsFields(fields, &read))
        return 0;
    if (!IsUsableScreenSize(read.screenWidth) || !IsUsableScreenSize(read.screenHeight))
        std::abort();
    SettingsFields shown;
    FormatSettingsFields(read, &shown);
    Settings again = kDefaultSettings;
    // Integers beyond 2^31 are read unsigned and shown signed, as the Windows dialog always did, so
    // only the sizes, which are range-checked, must read back the same.
    if (ReadSettingsFields(shown, &again) || again.screenWidth != read.screenWidth ||
        again.screenHeight != read.screenHeight)
        std::abort();
    return 0;
}
