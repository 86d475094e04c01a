#include "app/SettingsStore.h"

#include <cctype>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iomanip>
#include <locale>
#include <sstream>
#include <string>

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
                                                EncodeReal(s.sGravity), EncodeReal(s.boxMass),
                                                s.autopilot, s.steadyPace};
    for (int i = 0; i < kStoredValueCount; ++i)
        values[i] = encoded[i];
}

bool IsUsableScreenSize(int64_t pixels)
{
    return pixels >= 1 && pixels <= kMaxScreenSize;
}

void DecodeSettings(const StoredSettings& stored, Settings* settings)
{
    // A size the dialog would refuse would open an unusable window: it counts as not stored.
    bool present[kStoredValueCount];
    for (int i = 0; i < kStoredValueCount; ++i)
        present[i] = stored.present[i] && ((i != 1 && i != 2) || IsUsableScreenSize(stored.values[i]));
    int32_t* integers[4] = {&settings->bitsPP, &settings->screenWidth, &settings->screenHeight, &settings->dFps};
    for (int i = 0; i < 4; ++i)
        if (present[i])
            *integers[i] = stored.values[i];
    if (present[4])
        settings->sGravity = DecodeReal(stored.values[4]);
    if (present[5])
        settings->boxMass = DecodeReal(stored.values[5]);
    if (present[6])
        settings->autopilot = stored.values[6] != 0;
    if (present[7])
        settings->steadyPace = stored.values[7] != 0;
}

// Reals are written and read in the "C" locale whatever the process's locale (a toolkit may have
// set one with a decimal comma), so that a field shows -10.50000 everywhere and reads back the same.
static void FormatReal(float value, char* text)
{
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << std::fixed << std::setprecision(5) << double(value);
    std::snprintf(text, kFieldTextSize, "%s", out.str().c_str());
}

// As atof reads a field (the number at its start, 0 for none), with a comma taken as the decimal point.
static float ReadRealField(const char* text)
{
    std::string number(text);
    size_t comma = number.find(',');
    if (comma != std::string::npos && number.find('.') == std::string::npos)
        number[comma] = '.';
    std::istringstream in(number);
    in.imbue(std::locale::classic());
    double value = 0;
    in >> value;
    // Beyond a float's range the conversion would be undefined; infinity is what it always gave.
    if (std::fabs(value) > FLT_MAX)
        return value > 0 ? INFINITY : -INFINITY;
    return float(value);
}

void FormatSettingsFields(const Settings& s, SettingsFields* fields)
{
    const int32_t integers[4] = {s.bitsPP, s.screenWidth, s.screenHeight, s.dFps};
    for (int i = 0; i < 4; ++i)
        std::snprintf(fields->text[i], kFieldTextSize, "%d", integers[i]);
    FormatReal(s.sGravity, fields->text[4]);
    FormatReal(s.boxMass, fields->text[5]);
    fields->autopilot = s.autopilot;
    fields->steadyPace = s.steadyPace;
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
    if (!ReadUnsigned(text, &value) || !IsUsableScreenSize(value))
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
        return "Screen width must be a whole number of pixels from 1 to 16384.";
    if (!ReadScreenSize(fields.text[2], &read.screenHeight))
        return "Screen height must be a whole number of pixels from 1 to 16384.";
    read.dFps = ReadIntegerField(fields.text[3]);
    read.sGravity = ReadRealField(fields.text[4]);
    read.boxMass = ReadRealField(fields.text[5]);
    read.autopilot = fields.autopilot;
    read.steadyPace = fields.steadyPace;
    *settings = read;
    return nullptr;
}
