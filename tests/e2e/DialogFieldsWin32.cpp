// Reads a dialog as a person sees it: the text of each edit field of the top-level window titled
// TITLE, one line each, in the order the dialog made them. Asking the fields directly keeps the
// clipboard out of the test; under Wine the clipboard's hand-over to X came too late now and then.
// With --static it reads the static texts instead, as a message box's words are; with --layout it
// says whether every control lies inside the dialog's client area.
//   dialog-fields.exe TITLE [--static | --layout]
#include <windows.h>

#include <cstdio>
#include <cstring>

// The text of each control of the class named by wanted.
static BOOL CALLBACK PrintText(HWND child, LPARAM wanted)
{
    char className[16];
    if (GetClassNameA(child, className, sizeof className) &&
        std::strcmp(className, reinterpret_cast<const char*>(wanted)) == 0) {
        // GetWindowText would not ask another process's window; the message does.
        char text[1024] = "";
        DWORD_PTR copied;
        SendMessageTimeoutA(child, WM_GETTEXT, sizeof text, LPARAM(text), SMTO_ABORTIFHUNG, 10000, &copied);
        std::printf("%s\n", text);
    }
    return TRUE;
}

static BOOL CALLBACK CheckInside(HWND child, LPARAM outside)
{
    HWND dialog = GetParent(child);
    RECT client, rect;
    GetClientRect(dialog, &client);
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    if (rect.left < 0 || rect.top < 0 || rect.right > client.right || rect.bottom > client.bottom) {
        std::printf("control %d at %ld,%ld-%ld,%ld outside %ldx%ld\n", GetDlgCtrlID(child), rect.left, rect.top,
                    rect.right, rect.bottom, client.right, client.bottom);
        ++*reinterpret_cast<int*>(outside);
    }
    return TRUE;
}

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    HWND dialog = FindWindowA(nullptr, argv[1]);
    if (!dialog) {
        std::fprintf(stderr, "no window titled %s\n", argv[1]);
        return 1;
    }
    if (argc > 2 && std::strcmp(argv[2], "--layout") == 0) {
        int outside = 0;
        EnumChildWindows(dialog, CheckInside, reinterpret_cast<LPARAM>(&outside));
        if (!outside)
            std::printf("all controls inside\n");
        return 0;
    }
    const bool statics = argc > 2 && std::strcmp(argv[2], "--static") == 0;
    EnumChildWindows(dialog, PrintText, reinterpret_cast<LPARAM>(statics ? "Static" : "Edit"));
    return 0;
}
