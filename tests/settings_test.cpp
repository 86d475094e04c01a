// The settings' stored form and the dialog's fields.
#include <doctest/doctest.h>

#include <clocale>
#include <cmath>
#include <string>

#include "app/RunState.h"
#include "FreshProcess.h"
#include "app/Settings.h"
#include "app/SettingsStore.h"
#include "platform/null/NullPlatform.h"

static SettingsFields Fields(const char* bits, const char* width, const char* height, const char* fps,
                             const char* gravity, const char* mass)
{
    SettingsFields f = {};  // the check boxes unticked
    const char* texts[kFieldCount] = {bits, width, height, fps, gravity, mass};
    for (int i = 0; i < kFieldCount; ++i)
        snprintf(f.text[i], kFieldTextSize, "%s", texts[i]);
    return f;
}

TEST_CASE("reals are stored as fixed point with five decimals, truncated toward zero")
{
    CHECK(EncodeReal(-10.5f) == -1050000);
    CHECK(EncodeReal(0.02f) == 1999);  // the float nearest 0.02 lies just below it
    CHECK(EncodeReal(0.123456f) == 12345);
    CHECK(EncodeReal(-0.123456f) == -12345);
    CHECK(DecodeReal(2000) == 0.02f);
    CHECK(DecodeReal(-1050000) == -10.5f);
    // What a typed "nan" or "1e40" makes of a field can no longer overflow the conversion.
    CHECK(EncodeReal(std::nanf("")) == 0);
    CHECK(EncodeReal(1e30f) == INT32_MAX);
    CHECK(EncodeReal(-INFINITY) == INT32_MIN);
}

TEST_CASE("the dialog shows the defaults, and 0.01999 once they have been stored")
{
    StartFreshProcess();
    SettingsFields f;
    FormatSettingsFields(gSettings, &f);
    const char* shown[] = {"16", "640", "480", "30", "-10.50000", "0.02000"};
    for (int i = 0; i < kFieldCount; ++i)
        CHECK(std::string(f.text[i]) == shown[i]);

    char error[128];
    REQUIRE(SaveSettings(error, sizeof error));
    const int32_t stored[] = {16, 640, 480, 30, -1050000, 1999};
    for (int i = 0; i < kFieldCount; ++i)
        CHECK(gNull.store.values[i] == stored[i]);
    LoadSettings();
    FormatSettingsFields(gSettings, &f);
    CHECK(std::string(f.text[5]) == "0.01999");
    CHECK(SaveSettings(error, sizeof error));
    LoadSettings();
    FormatSettingsFields(gSettings, &f);
    CHECK(std::string(f.text[5]) == "0.01999");  // and so from then on
}

TEST_CASE("the two switches are stored beside the six, which stay as they were")
{
    StartFreshProcess();
    LoadSettings();
    CHECK(!gSettings.autopilot);  // absent reads as off
    CHECK(!gSettings.steadyPace);
    char error[128];
    REQUIRE(SaveSettings(error, sizeof error));
    const int32_t stored[kStoredValueCount] = {16, 640, 480, 30, -1050000, 1999, 0, 0};
    for (int i = 0; i < kStoredValueCount; ++i)
        CHECK(gNull.store.values[i] == stored[i]);

    SettingsFields f;
    OpenSettingsDialog(&f);
    f.autopilot = true;
    CHECK(ConfirmSettingsDialog(f, error, sizeof error));
    CHECK(gNull.store.values[6] == 1);
    CHECK(gNull.store.values[7] == 0);
    ResetRunState();  // a new process, the store kept
    OpenSettingsDialog(&f);
    CHECK(f.autopilot);
    CHECK(!f.steadyPace);
    for (int i = 0; i < kFieldCount; ++i)
        CHECK(gNull.store.values[i] == stored[i]);
}

TEST_CASE("a value the store lacks leaves its field")
{
    StartFreshProcess();
    gNull.store.values[2] = 600;
    gNull.store.present[2] = true;
    gNull.store.values[4] = -250000;
    gNull.store.present[4] = true;
    LoadSettings();
    CHECK(gSettings.screenWidth == 640);
    CHECK(gSettings.screenHeight == 600);
    CHECK(gSettings.sGravity == -2.5f);
    CHECK(gSettings.boxMass == 0.02f);
}

TEST_CASE("the fields are read as the dialog always has, but a bad width or height is refused")
{
    Settings s = kDefaultSettings;
    CHECK(ReadSettingsFields(Fields(" 24 ", "800", "600", "60", "-3.25", "1.5kg"), &s) == nullptr);
    CHECK(s.bitsPP == 24);
    CHECK(s.screenWidth == 800);
    CHECK(s.screenHeight == 600);
    CHECK(s.dFps == 60);
    CHECK(s.sGravity == -3.25f);
    CHECK(s.boxMass == 1.5f);

    // Text that is not an unsigned number is 0 in an integer field, atof's reading in a real one.
    CHECK(ReadSettingsFields(Fields("-5", "800", "600", "12abc", "abc", ""), &s) == nullptr);
    CHECK(s.bitsPP == 0);
    CHECK(s.dFps == 0);
    CHECK(s.sGravity == 0);
    CHECK(s.boxMass == 0);

    Settings kept = kDefaultSettings;
    const char* width = ReadSettingsFields(Fields("16", "abc", "480", "30", "1", "1"), &kept);
    REQUIRE(width != nullptr);
    CHECK(std::string(width).find("width") != std::string::npos);
    CHECK(ReadSettingsFields(Fields("16", "640", "0", "30", "1", "1"), &kept) != nullptr);
    CHECK(ReadSettingsFields(Fields("16", "-640", "480", "30", "1", "1"), &kept) != nullptr);
    CHECK(ReadSettingsFields(Fields("16", "3000000000", "480", "30", "1", "1"), &kept) != nullptr);
    CHECK(kept.screenWidth == 640);
    CHECK(kept.sGravity == -10.5f);
}

TEST_CASE("OK in the dialog: a field to correct or a refused save keeps it open with the reason")
{
    StartFreshProcess();
    SettingsFields shown;
    OpenSettingsDialog(&shown);
    CHECK(std::string(shown.text[1]) == "640");
    char message[128] = "";

    CHECK(!ConfirmSettingsDialog(Fields("16", "0", "480", "30", "1", "1"), message, sizeof message));
    CHECK(std::string(message).find("width") != std::string::npos);
    CHECK(!gNull.store.present[1]);

    gNull.storeFails = true;
    CHECK(!ConfirmSettingsDialog(Fields("16", "800", "600", "30", "1", "1"), message, sizeof message));
    CHECK(std::string(message) == "the store refused");

    gNull.storeFails = false;
    CHECK(ConfirmSettingsDialog(Fields("16", "800", "600", "30", "1", "1"), message, sizeof message));
    CHECK(gNull.store.values[1] == 800);
    CHECK(gNull.store.values[2] == 600);
}

TEST_CASE("a stored screen size the dialog would refuse counts as not stored")
{
    for (int32_t bad : {0, -640, 16385, INT32_MAX}) {
        CAPTURE(bad);
        StartFreshProcess();
        gNull.store.values[1] = bad;
        gNull.store.present[1] = true;
        gNull.store.values[2] = bad;
        gNull.store.present[2] = true;
        LoadSettings();
        CHECK(gSettings.screenWidth == 640);
        CHECK(gSettings.screenHeight == 480);
    }
    gNull.store.values[1] = 16384;
    LoadSettings();
    CHECK(gSettings.screenWidth == 16384);
    Settings kept = kDefaultSettings;
    CHECK(ReadSettingsFields(Fields("16", "16385", "480", "30", "1", "1"), &kept) != nullptr);
    CHECK(ReadSettingsFields(Fields("16", "16384", "480", "30", "1", "1"), &kept) == nullptr);
}

// A locale whose decimal separator is a comma, as a German desktop gives the dialog's toolkit.
static bool UseCommaLocale()
{
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "German_Germany.1252", "German"})
        if (std::setlocale(LC_ALL, name) && *std::localeconv()->decimal_point == ',')
            return true;
    return false;
}

TEST_CASE("in a locale with a decimal comma, reals are shown with a point and read either way")
{
    REQUIRE_MESSAGE(UseCommaLocale(), "no German locale on this machine (Debian: locales, de_DE.UTF-8)");
    SettingsFields f;
    FormatSettingsFields(kDefaultSettings, &f);
    CHECK(std::string(f.text[4]) == "-10.50000");
    CHECK(std::string(f.text[5]) == "0.02000");
    Settings s = kDefaultSettings;
    CHECK(ReadSettingsFields(Fields("16", "640", "480", "30", "-2.5", "0,5"), &s) == nullptr);
    CHECK(s.sGravity == -2.5f);
    CHECK(s.boxMass == 0.5f);
    // As atof reads: the number at the start, 0 for none; beyond a float, infinity.
    CHECK(ReadSettingsFields(Fields("16", "640", "480", "30", " 1.5kg", "abc"), &s) == nullptr);
    CHECK(s.sGravity == 1.5f);
    CHECK(s.boxMass == 0);
    CHECK(ReadSettingsFields(Fields("16", "640", "480", "30", "1e40", "-1e40"), &s) == nullptr);
    CHECK(EncodeReal(s.sGravity) == INT32_MAX);
    CHECK(EncodeReal(s.boxMass) == INT32_MIN);
    std::setlocale(LC_ALL, "C");
}

TEST_CASE("a store that refuses says why")
{
    ResetNullPlatform();
    gNull.storeFails = true;
    char error[128] = "";
    CHECK(!SaveSettings(error, sizeof error));
    CHECK(std::string(error) == "the store refused");
    CHECK(!gNull.store.present[0]);
}
