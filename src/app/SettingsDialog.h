// What the settings dialog decides, the same on every platform; a backend only shows the fields and
// the messages.
#pragma once
#include <cstddef>

#include "app/SettingsStore.h"

// The check boxes' labels, below the fields.
constexpr const char* kAutopilotLabel = "Cars drive themselves when left alone";
constexpr const char* kSteadyPaceLabel = "Steady pace at the desired Fps";

// The fields as the dialog opens: the stored settings, or the defaults for what is not stored.
void OpenSettingsDialog(SettingsFields* fields);
// OK: takes the fields into gSettings and stores them. True when the dialog may close; otherwise the
// dialog stays open and message says why (a field to correct, or the store's refusal).
bool ConfirmSettingsDialog(const SettingsFields& fields, char* message, size_t messageSize);
