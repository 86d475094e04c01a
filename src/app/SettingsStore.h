// The settings' stored form and the dialog's fields, the same for every store and dialog.
#pragma once
#include <cstddef>
#include <cstdint>

#include "app/Settings.h"
#include "platform/Platform.h"

// The names of the stored values, in the order of the record's fields: the six the dialog has always
// had, then the two switches (0 or 1; absent is off).
extern const char* const kSettingNames[kStoredValueCount];
constexpr double kRealScale = 100000;  // the two reals are stored as fixed point with five decimals

int32_t EncodeReal(float value);  // times kRealScale, truncated toward zero
float DecodeReal(int32_t stored);
void EncodeSettings(const Settings& settings, int32_t values[kStoredValueCount]);

// Larger than any display; a size outside 1 to kMaxScreenSize is refused by the dialog and ignored
// when stored.
constexpr int32_t kMaxScreenSize = 16384;
bool IsUsableScreenSize(int64_t pixels);

// Takes the stored values into gSettings; a value the store lacks, or a screen size that is not
// usable, leaves its field as it is.
void LoadSettings();
// Stores gSettings; false with the reason when the old values had to be left as they were.
bool SaveSettings(char* error, size_t errorSize);

// The dialog's six texts, in field order, and its two check boxes.
constexpr int kFieldCount = 6;
constexpr size_t kFieldTextSize = 260;
struct SettingsFields {
    char text[kFieldCount][kFieldTextSize];
    bool autopilot;
    bool steadyPace;
};
void FormatSettingsFields(const Settings& settings, SettingsFields* fields);
// Reads the fields as the dialog always has: integers unsigned (anything else is 0), reals as atof
// reads them in the "C" locale, a comma counting as the decimal point. A width or height that is not
// a usable screen size is refused: returns the message to show and leaves settings alone. Returns
// null when settings were filled.
const char* ReadSettingsFields(const SettingsFields& fields, Settings* settings);
