#include "app/SettingsStore.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

const char* const kSettingNames[kStoredValueCount] = {"bitsPP", "screenWidth", "screenHeight",
                                                      "dFps",   "sGravity",    "boxMass"};

int32_t EncodeReal(float value)
{
    double scaled = double(value) * kRealScale;
    // Out of range or not a number (typed as "nan" or "1e40") would make the conversion undefined.
    if (std::isnan(scaled))
        return 0;
    if (scaled >= 2147483647.0)
        return INT32_MAX;
    if (scaled <= -2147483648.0)
        return INT32_MIN;
    return int32_t(scaled);
}

float DecodeReal(int32_t stored)
{
    return float(stored / kRealScale);
}

void EncodeSettings(const Settings& s, int32_t values[kStoredValueCount])
{
    const int32_t encoded[kStoredValueCount] = {s.bitsPP, s.screenWidth, s.screenHeight, s.dFps,
                                                EncodeReal(s.sGravity), EncodeReal(s.boxMass)};
    for (int i = 0; i < kStoredValueCount; ++i)
        values[i] = encoded[i];
}

void LoadSettings()
{
    StoredSettings stored = {};
    ReadStoredSettings(&stored);
    int32_t* integers[4] = {&gSettings.bitsPP, &gSettings.screenWidth, &gSettings.screenHeight, &gSettings.dFps};
    for (int i = 0; i < 4; ++i)
        if (stored.present[i])
            *integers[i] = stored.values[i];
    if (stored.present[4])
        gSettings.sGravity = DecodeReal(stored.values[4]);
    if (stored.present[5])
        gSettings.boxMass = DecodeReal(stored.values[5]);
}

bool SaveSettings(char* error, size_t errorSize)
{
    int32_t values[kStoredValueCount];
    EncodeSettings(gSettings, values);
    return WriteStoredSettings(values, error, errorSize);
}

void FormatSettingsFields(const Settings& s, SettingsFields* fields)
{
    const int32_t integers[4] = {s.bitsPP, s.screenWidth, s.screenHeight, s.dFps};
    for (int i = 0; i < 4; ++i)
        std::snprintf(fields->text[i], kFieldTextSize, "%d", integers[i]);
    std::snprintf(fields->text[4], kFieldTextSize, "%.5f", double(s.sGravity));
    std::snprintf(fields->text[5], kFieldTextSize, "%.5f", double(s.boxMass));
}

// An unsigned whole number, blanks around it allowed; false for anything else.
static bool ReadUnsigned(const char* text, uint32_t* value)
{
    while (std::isspace(static_cast<unsigned char>(*text)))
        ++text;
    if (!std::isdigit(static_cast<unsigned char>(*text)))
        return false;
    char* end;
    errno = 0;
    unsigned long long v = std::strtoull(text, &end, 10);
    while (std::isspace(static_cast<unsigned char>(*end)))
        ++end;
    if (*end || errno == ERANGE || v > UINT32_MAX)
        return false;
    *value = uint32_t(v);
    return true;
}

// As the Windows dialog reads an integer field: text that is not an unsigned number is 0.
static int32_t ReadIntegerField(const char* text)
{
    uint32_t value = 0;
    ReadUnsigned(text, &value);
    return int32_t(value);
}

static bool ReadScreenSize(const char* text, int32_t* size)
{
    uint32_t value;
    if (!ReadUnsigned(text, &value) || value == 0 || value > INT32_MAX)
        return false;
    *size = int32_t(value);
    return true;
}

const char* ReadSettingsFields(const SettingsFields& fields, Settings* settings)
{
    Settings read = *settings;
    read.bitsPP = ReadIntegerField(fields.text[0]);
    // A width or height of 0 would make the next full run unusable, so it is never stored.
    if (!ReadScreenSize(fields.text[1], &read.screenWidth))
        return "Screen width must be a whole number of pixels greater than 0.";
    if (!ReadScreenSize(fields.text[2], &read.screenHeight))
        return "Screen height must be a whole number of pixels greater than 0.";
    read.dFps = ReadIntegerField(fields.text[3]);
    read.sGravity = float(std::atof(fields.text[4]));
    read.boxMass = float(std::atof(fields.text[5]));
    *settings = read;
    return nullptr;
}
