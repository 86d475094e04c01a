// The settings on Linux: a keyfile in $XDG_CONFIG_HOME/kelvaron/ holding the eight values in their
// stored form, replaced as a whole on every save so that it is never half-written.
#include <glib.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/Platform.h"

static const char* const kGroup = "ScreenSaverKelvaron";

static std::string SettingsDirectory()
{
    return std::string(g_get_user_config_dir()) + "/kelvaron";
}

static std::string SettingsPath()
{
    return SettingsDirectory() + "/kelvaron.conf";
}

// A whole number in the range of a stored value, blanks around it allowed.
static bool ReadStoredNumber(const char* text, int32_t* value)
{
    char* end;
    errno = 0;
    long long v = std::strtoll(text, &end, 10);
    while (g_ascii_isspace(*end))
        ++end;
    if (end == text || *end || errno == ERANGE || v < INT32_MIN || v > INT32_MAX)
        return false;
    *value = int32_t(v);
    return true;
}

void ReadStoredSettings(StoredSettings* stored)
{
    *stored = StoredSettings{};
    std::string path = SettingsPath();
    GKeyFile* file = g_key_file_new();
    GError* error = nullptr;
    if (!g_key_file_load_from_file(file, path.c_str(), G_KEY_FILE_KEEP_COMMENTS, &error)) {
        // No file yet is the ordinary first run; anything else deserves a word.
        if (!g_error_matches(error, G_FILE_ERROR, G_FILE_ERROR_NOENT))
            std::fprintf(stderr, "kelvaron: ignoring %s: %s\n", path.c_str(), error->message);
        g_error_free(error);
        g_key_file_free(file);
        return;
    }
    for (int i = 0; i < kStoredValueCount; ++i) {
        gchar* text = g_key_file_get_value(file, kGroup, kSettingNames[i], nullptr);
        if (!text)
            continue;
        stored->present[i] = ReadStoredNumber(text, &stored->values[i]);
        if (!stored->present[i])
            std::fprintf(stderr, "kelvaron: %s: %s = '%s' is not a whole number from %d to %d; it is left as it was\n",
                         path.c_str(), kSettingNames[i], text, INT32_MIN, INT32_MAX);
        g_free(text);
    }
    g_key_file_free(file);
}

bool WriteStoredSettings(const int32_t values[kStoredValueCount], char* error, size_t errorSize)
{
    std::string path = SettingsPath();
    GKeyFile* file = g_key_file_new();
    // Whatever else the file holds is kept; a file that cannot be read is replaced.
    g_key_file_load_from_file(file, path.c_str(), G_KEY_FILE_KEEP_COMMENTS, nullptr);
    for (int i = 0; i < kStoredValueCount; ++i)
        g_key_file_set_integer(file, kGroup, kSettingNames[i], values[i]);
    GError* failure = nullptr;
    bool saved = g_mkdir_with_parents(SettingsDirectory().c_str(), 0700) == 0 &&
                 g_key_file_save_to_file(file, path.c_str(), &failure);  // a new file renamed over the old
    if (!saved)
        std::snprintf(error, errorSize, "Could not save the settings to %s: %s", path.c_str(),
                      failure ? failure->message : g_strerror(errno));
    if (failure)
        g_error_free(failure);
    g_key_file_free(file);
    return saved;
}
