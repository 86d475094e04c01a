// The settings dialog on Linux: the same fields, labels, help text and buttons as the Windows one.
#include <gtk/gtk.h>

#include <cstdio>

#include "platform/Platform.h"

static void ShowProblem(GtkWidget* dialog, const char* text)
{
    GtkWidget* box = gtk_message_dialog_new(GTK_WINDOW(dialog), GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR,
                                            GTK_BUTTONS_OK, "%s", text);
    gtk_window_set_title(GTK_WINDOW(box), kSettingsDialogTitle);
    gtk_dialog_run(GTK_DIALOG(box));
    gtk_widget_destroy(box);
}

struct DialogWidgets {
    GtkWidget* entries[kFieldCount];
    GtkWidget* autopilot;
    GtkWidget* steadyPace;
};

static GtkWidget* BuildFieldGrid(DialogWidgets* w)
{
    GtkWidget* grid = gtk_grid_new();
    gtk_grid_set_row_spacing(GTK_GRID(grid), 4);
    gtk_grid_set_column_spacing(GTK_GRID(grid), 8);
    gtk_container_set_border_width(GTK_CONTAINER(grid), 8);
    for (int i = 0; i < kFieldCount; ++i) {
        GtkWidget* label = gtk_label_new(kFieldLabels[i]);
        gtk_widget_set_halign(label, GTK_ALIGN_END);
        w->entries[i] = gtk_entry_new();
        gtk_entry_set_width_chars(GTK_ENTRY(w->entries[i]), 10);
        gtk_entry_set_activates_default(GTK_ENTRY(w->entries[i]), TRUE);
        gtk_label_set_mnemonic_widget(GTK_LABEL(label), w->entries[i]);
        gtk_grid_attach(GTK_GRID(grid), label, 0, i, 1, 1);
        gtk_grid_attach(GTK_GRID(grid), w->entries[i], 1, i, 1, 1);
    }
    w->autopilot = gtk_check_button_new_with_label(kAutopilotLabel);
    w->steadyPace = gtk_check_button_new_with_label(kSteadyPaceLabel);
    gtk_grid_attach(GTK_GRID(grid), w->autopilot, 0, kFieldCount, 2, 1);
    gtk_grid_attach(GTK_GRID(grid), w->steadyPace, 0, kFieldCount + 1, 2, 1);
    return grid;
}

static GtkWidget* BuildDialog(DialogWidgets* w)
{
    GtkWidget* dialog = gtk_dialog_new_with_buttons(kSettingsDialogTitle, nullptr, GTK_DIALOG_MODAL, "OK",
                                                    GTK_RESPONSE_OK, "Cancel", GTK_RESPONSE_CANCEL, nullptr);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
    gtk_window_set_resizable(GTK_WINDOW(dialog), FALSE);

    GtkWidget* fields = gtk_frame_new(nullptr);
    gtk_container_add(GTK_CONTAINER(fields), BuildFieldGrid(w));
    GtkWidget* helpFrame = gtk_frame_new(kSettingsHelpTitle);
    GtkWidget* help = gtk_label_new(kSettingsHelpText);
    gtk_label_set_xalign(GTK_LABEL(help), 0);
    g_object_set(help, "margin", 8, nullptr);
    gtk_container_add(GTK_CONTAINER(helpFrame), help);
    gtk_widget_set_valign(helpFrame, GTK_ALIGN_END);

    GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 8);
    gtk_container_set_border_width(GTK_CONTAINER(row), 8);
    gtk_box_pack_start(GTK_BOX(row), fields, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(row), helpFrame, FALSE, FALSE, 0);
    gtk_container_add(GTK_CONTAINER(gtk_dialog_get_content_area(GTK_DIALOG(dialog))), row);
    return dialog;
}

bool RunSettingsDialog()
{
    if (!gtk_init_check(nullptr, nullptr)) {
        std::fprintf(stderr, "kelvaron: cannot show the settings dialog: no display\n");
        return false;
    }
    DialogWidgets w;
    GtkWidget* dialog = BuildDialog(&w);

    SettingsFields fields;
    OpenSettingsDialog(&fields);
    for (int i = 0; i < kFieldCount; ++i)
        gtk_entry_set_text(GTK_ENTRY(w.entries[i]), fields.text[i]);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(w.autopilot), fields.autopilot);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(w.steadyPace), fields.steadyPace);

    // Not centred: it opens at the top-left corner of the screen.
    gtk_window_move(GTK_WINDOW(dialog), 0, 0);
    gtk_widget_show_all(dialog);
    gtk_widget_grab_focus(w.entries[0]);
    while (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_OK) {
        for (int i = 0; i < kFieldCount; ++i)
            g_strlcpy(fields.text[i], gtk_entry_get_text(GTK_ENTRY(w.entries[i])), kFieldTextSize);
        fields.autopilot = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(w.autopilot));
        fields.steadyPace = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(w.steadyPace));
        char message[512];
        if (ConfirmSettingsDialog(fields, message, sizeof message))
            break;
        ShowProblem(dialog, message);
    }
    gtk_widget_destroy(dialog);
    while (gtk_events_pending())
        gtk_main_iteration();
    return true;
}
