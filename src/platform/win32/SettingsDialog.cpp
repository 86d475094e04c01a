// The settings dialog: resource 101, filled from the stored settings, saved on OK.
#include "app/Settings.h"
#include "app/SettingsStore.h"
#include "platform/Platform.h"
#include "platform/win32/Win32Backend.h"

constexpr int kFirstFieldId = 1002;  // 1002 to 1007, in the record's field order

static void ShowFields(HWND hDlg)
{
    SettingsFields fields;
    FormatSettingsFields(gSettings, &fields);
    for (int i = 0; i < kStoredValueCount; ++i)
        SetDlgItemTextA(hDlg, kFirstFieldId + i, fields.text[i]);
}

// Takes the fields into gSettings and stores them; false, having said why, if they must be corrected.
static bool TakeFields(HWND hDlg)
{
    SettingsFields fields;
    for (int i = 0; i < kStoredValueCount; ++i)
        GetDlgItemTextA(hDlg, kFirstFieldId + i, fields.text[i], 255);
    if (const char* problem = ReadSettingsFields(fields, &gSettings)) {
        MessageBoxA(hDlg, problem, "Screen Saver Config.", MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

INT_PTR CALLBACK SettingsDialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        LoadSettings();
        ShowFields(hDlg);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            // A width or height of 0 would make the next full run unusable: the dialog stays open.
            if (!TakeFields(hDlg))
                return TRUE;
            EndDialog(hDlg, 0);
            char error[512];
            if (!SaveSettings(error, sizeof error))
                MessageBoxA(hDlg, error, "Screen Saver Config.", MB_OK | MB_ICONEXCLAMATION);
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
