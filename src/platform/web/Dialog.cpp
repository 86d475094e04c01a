// The settings form in the page: the dialog's title, fields, labels, help and check boxes, with
// what they show, what they refuse and the messages from the shell's decisions. The form sits
// beside the running scene; a save ends the run, and the next one starts at once with the settings
// saved, as a desktop run started after the dialog would.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>

#include "platform/Platform.h"
#include "platform/web/WebBackend.h"

EM_JS(void, ShowSettingsForm, (const char* title, const char* const* labels, const char* const* texts, int count,
                               const char* helpTitle, const char* help, const char* autopilotLabel, int autopilot,
                               const char* steadyPaceLabel, int steadyPace), {
    const strings = (list) => Array.from({length: count}, (_, i) => UTF8ToString(HEAP32[(list >> 2) + i]));
    Module.kelvaronPage.showSettings({
        title: UTF8ToString(title), labels: strings(labels), texts: strings(texts),
        helpTitle: UTF8ToString(helpTitle), help: UTF8ToString(help),
        autopilotLabel: UTF8ToString(autopilotLabel), autopilot: !!autopilot,
        steadyPaceLabel: UTF8ToString(steadyPaceLabel), steadyPace: !!steadyPace,
    });
});

static void FillForm()
{
    SettingsFields fields;
    OpenSettingsDialog(&fields);
    const char* texts[kFieldCount];
    for (int i = 0; i < kFieldCount; ++i)
        texts[i] = fields.text[i];
    ShowSettingsForm(kSettingsDialogTitle, kFieldLabels, texts, kFieldCount, kSettingsHelpTitle, kSettingsHelpText,
                     kAutopilotLabel, fields.autopilot, kSteadyPaceLabel, fields.steadyPace);
}

// The page's form is always there: showing the dialog fills it with what is stored.
bool RunSettingsDialog()
{
    FillForm();
    return true;
}

bool TakeRestartRequest()
{
    const bool requested = gWeb.restartRequested;
    gWeb.restartRequested = false;
    return requested;
}

// The form's OK: null when the settings were stored, else the message to show (the field to
// correct, or the store's refusal), with nothing stored.
extern "C" EMSCRIPTEN_KEEPALIVE const char* kelvaron_save_settings(const char* const* texts, int autopilot, int steadyPace)
{
    static char message[512];
    SettingsFields fields;
    for (int i = 0; i < kFieldCount; ++i)
        std::snprintf(fields.text[i], kFieldTextSize, "%s", texts[i]);
    fields.autopilot = autopilot != 0;
    fields.steadyPace = steadyPace != 0;
    if (!ConfirmSettingsDialog(fields, message, sizeof message))
        return message;
    // A running scene ends, and the next run starts at once; between runs the page starts it.
    if (emscripten_webgl_get_current_context() > 0) {
        gWeb.restartRequested = true;
        HandleCloseRequested();
    }
    return nullptr;
}

// The form's Cancel: the stored values back in the fields.
extern "C" EMSCRIPTEN_KEEPALIVE void kelvaron_reset_settings_form()
{
    FillForm();
}
