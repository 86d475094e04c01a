// Message boxes of the Linux program: the same captions, texts, buttons and icons as the Windows
// build's, as GTK message dialogs. SDL's own box is the fallback when GTK cannot open the display;
// it needs the X core fonts.
#include <SDL.h>
#include <gtk/gtk.h>

#include <clocale>
#include <cstdio>
#include <string>

#include "platform/Platform.h"
#include "platform/linux/LinuxBackend.h"

constexpr guint kSignalLookMs = 100;  // how often an open box looks for an ending signal

static GtkMessageType GtkTypeOf(MessageKind kind)
{
    switch (kind) {
    case MessageKind::kError: return GTK_MESSAGE_ERROR;
    case MessageKind::kWarning: return GTK_MESSAGE_WARNING;
    default: return GTK_MESSAGE_INFO;
    }
}

static Uint32 SdlFlagsOf(MessageKind kind)
{
    switch (kind) {
    case MessageKind::kError: return SDL_MESSAGEBOX_ERROR;
    case MessageKind::kWarning: return SDL_MESSAGEBOX_WARNING;
    default: return SDL_MESSAGEBOX_INFORMATION;
    }
}

// Shows a modal GTK message dialog and returns its response, or GTK_RESPONSE_NONE when GTK cannot
// reach a display.
static int RunGtkMessage(const char* caption, const char* text, GtkMessageType type, GtkButtonsType buttons)
{
    // gtk_init takes the locale from the environment; the run keeps the one it started with, so its
    // numbers ("FPS: 12.5") read as on Windows.
    const std::string locale = std::setlocale(LC_ALL, nullptr);
    const bool opened = gtk_init_check(nullptr, nullptr);
    std::setlocale(LC_ALL, locale.c_str());
    if (!opened)
        return GTK_RESPONSE_NONE;
    GtkWidget* dialog = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, type, buttons, "%s", text);
    gtk_window_set_title(GTK_WINDOW(dialog), caption);
    gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
    if (buttons == GTK_BUTTONS_YES_NO)
        gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_YES);
    bool gone = false;
    g_signal_connect(dialog, "destroy", G_CALLBACK(+[](GtkWidget*, gpointer flag) { *static_cast<bool*>(flag) = true; }),
                     &gone);
    // A host ends its hack with SIGTERM whatever the hack shows: the box closes as if its window were,
    // and the run goes on to its end (what it said is on standard error too).
    const guint watch = g_timeout_add(kSignalLookMs, +[](gpointer box) -> gboolean {
        if (IsEndingSignalled())
            gtk_dialog_response(GTK_DIALOG(box), GTK_RESPONSE_DELETE_EVENT);
        return G_SOURCE_CONTINUE;
    }, dialog);
    const int response = gtk_dialog_run(GTK_DIALOG(dialog));
    g_source_remove(watch);
    gtk_widget_destroy(dialog);
    // GTK's main loop runs only inside gtk_dialog_run: what the dialog left pending (its unmapping,
    // the focus going back) is handled now, so that nothing of it hangs over the SDL window.
    while (!gone || g_main_context_pending(nullptr))
        g_main_context_iteration(nullptr, !gone);
    gdk_display_flush(gdk_display_get_default());
    return response;
}

void ShowMessage(const char* caption, const char* text, MessageKind kind)
{
    std::fprintf(stderr, "kelvaron: %s: %s\n", caption, text);
    if (RunGtkMessage(caption, text, GtkTypeOf(kind), GTK_BUTTONS_OK) == GTK_RESPONSE_NONE &&
        SDL_ShowSimpleMessageBox(SdlFlagsOf(kind), caption, text, nullptr) != 0)
        std::fprintf(stderr, "kelvaron: the message could not be shown: %s\n", SDL_GetError());
}

Answer AskQuestion(const char* caption, const char* text)
{
    const int response = RunGtkMessage(caption, text, GTK_MESSAGE_WARNING, GTK_BUTTONS_YES_NO);
    if (response != GTK_RESPONSE_NONE)
        return response == GTK_RESPONSE_YES ? Answer::kYes : Answer::kNo;

    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "No"},
    };
    const SDL_MessageBoxData box = {SDL_MESSAGEBOX_WARNING, nullptr, caption, text, 2, buttons, nullptr};
    int answer = 0;
    if (SDL_ShowMessageBox(&box, &answer) == 0)
        return answer == 1 ? Answer::kYes : Answer::kNo;
    std::fprintf(stderr, "kelvaron: %s: no GTK display, and SDL's box failed: %s\n", caption, SDL_GetError());
    return Answer::kUnasked;
}
