// The settings form in the page: the dialog's six fields and two check boxes, with what they show,
// what they refuse and the messages taken from app/SettingsDialog.h. The form sits beside the running
// scene, which keeps the settings it started with: saved ones take effect at the next run, as the
// desktop dialog's do.
#include <emscripten.h>

#include <cstdio>

#include "app/Settings.h"
#include "app/SettingsDialog.h"
#include "platform/Platform.h"

EM_JS(void, ShowSettingsFields, (const char* const* texts, int count, int autopilot, int steadyPace,
                                 const char* autopilotLabel, const char* steadyPaceLabel), {
    const fields = [];
    for (let i = 0; i < count; i++) fields.push(UTF8ToString(HEAP32[(texts >> 2) + i]));
    Module.kelvaronPage.showSettings(fields, !!autopilot, !!steadyPace, UTF8ToString(autopilotLabel),
                                     UTF8ToString(steadyPaceLabel));
});

// The dialog's functions take the record they decide on from the run's settings and leave it there;
// the running scene gets its own back.
static void FillForm()
{
    const Settings running = gSettings;
    SettingsFields fields;
    OpenSettingsDialog(&fields);
    gSettings = running;
    const char* texts[kFieldCount];
    for (int i = 0; i < kFieldCount; ++i)
        texts[i] = fields.text[i];
    ShowSettingsFields(texts, kFieldCount, fields.autopilot, fields.steadyPace, kAutopilotLabel, kSteadyPaceLabel);
}

// The page's form is always there: "showing" it fills it with what is stored.
bool RunSettingsDialog()
{
    FillForm();
    return true;
}

// The form's Save: null when the settings were stored, else the message to show (the field to
// correct, or the store's refusal), with nothing stored.
extern "C" EMSCRIPTEN_KEEPALIVE const char* kelvaron_save_settings(const char* const* texts, int autopilot, int steadyPace)
{
    static char message[512];
    SettingsFields fields;
    for (int i = 0; i < kFieldCount; ++i)
        std::snprintf(fields.text[i], kFieldTextSize, "%s", texts[i]);
    fields.autopilot = autopilot != 0;
    fields.steadyPace = steadyPace != 0;
    const Settings running = gSettings;
    const bool saved = ConfirmSettingsDialog(fields, message, sizeof message);
    gSettings = running;
    return saved ? nullptr : message;
}

// The form's Cancel: the stored values back in the fields.
extern "C" EMSCRIPTEN_KEEPALIVE void kelvaron_reset_settings_form()
{
    FillForm();
}
