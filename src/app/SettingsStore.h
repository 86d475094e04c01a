// The settings' stored form and the dialog's fields, the same for every store and dialog: pure
// translations between the record and what a store or a dialog holds.
#pragma once
#include <cstddef>
#include <cstdint>

#include "app/Settings.h"
#include "platform/Platform.h"

constexpr double kRealScale = 100000;  // the two reals are stored as fixed point with five decimals

int32_t EncodeReal(float value);  // times kRealScale, truncated toward zero
float DecodeReal(int32_t stored);
void EncodeSettings(const Settings& settings, int32_t values[kStoredValueCount]);
// Takes what the store holds into settings; a value the store lacks, or a screen size that is not
// usable, leaves its field as it is.
void DecodeSettings(const StoredSettings& stored, Settings* settings);

// Larger than any display; a size outside 1 to kMaxScreenSize is refused by the dialog and ignored
// when stored.
constexpr int32_t kMaxScreenSize = 16384;
bool IsUsableScreenSize(int64_t pixels);

void FormatSettingsFields(const Settings& settings, SettingsFields* fields);
// Reads the fields as the dialog always has: integers unsigned (anything else is 0), reals as atof
// reads them in the "C" locale, a comma counting as the decimal point. A width or height that is not
// a usable screen size is refused: returns the message to show and leaves settings alone. Returns
// null when settings were filled.
const char* ReadSettingsFields(const SettingsFields& fields, Settings* settings);
