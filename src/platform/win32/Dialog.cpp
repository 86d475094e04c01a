// The settings dialog: resource 101, filled from the stored settings, saved on OK.
#include "platform/Platform.h"
#include "platform/win32/Win32Backend.h"

constexpr int kFirstFieldId = 1002;  // 1002 to 1007, in the record's field order
constexpr int kAutopilotId = 1008;
constexpr int kSteadyPaceId = 1009;

static void ShowFields(HWND hDlg)
{
    SettingsFields fields;
    OpenSettingsDialog(&fields);
    for (int i = 0; i < kFieldCount; ++i)
        SetDlgItemTextA(hDlg, kFirstFieldId + i, fields.text[i]);
    CheckDlgButton(hDlg, kAutopilotId, fields.autopilot ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(hDlg, kSteadyPaceId, fields.steadyPace ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemTextA(hDlg, kAutopilotId, kAutopilotLabel);
    SetDlgItemTextA(hDlg, kSteadyPaceId, kSteadyPaceLabel);
}

// Takes the fields and stores them; false, having said why, while the dialog must stay open.
static bool TakeFields(HWND hDlg)
{
    SettingsFields fields;
    for (int i = 0; i < kFieldCount; ++i)
        GetDlgItemTextA(hDlg, kFirstFieldId + i, fields.text[i], 255);
    fields.autopilot = IsDlgButtonChecked(hDlg, kAutopilotId) == BST_CHECKED;
    fields.steadyPace = IsDlgButtonChecked(hDlg, kSteadyPaceId) == BST_CHECKED;
    char message[512];
    if (ConfirmSettingsDialog(fields, message, sizeof message))
        return true;
    MessageBoxA(hDlg, message, kSettingsDialogTitle, MB_OK | MB_ICONEXCLAMATION);
    return false;
}

INT_PTR CALLBACK SettingsDialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        ShowFields(hDlg);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            if (!TakeFields(hDlg))
                return TRUE;
            EndDialog(hDlg, 0);
            PostQuitMessage(0);
        } else if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(hDlg, 0);
            PostQuitMessage(0);
        }
        return FALSE;
    default:
        return FALSE;
    }
}

bool RunSettingsDialog()
{
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(101), nullptr, SettingsDialogProc, 0) != -1;
}
