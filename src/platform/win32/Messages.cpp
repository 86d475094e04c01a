// Message boxes on Windows: the system's own, owned by nobody so that they show with no window.
#include "platform/Platform.h"
#include "platform/win32/Win32Backend.h"

static UINT IconOf(MessageKind kind)
{
    switch (kind) {
    case MessageKind::kError: return MB_ICONSTOP;
    case MessageKind::kWarning: return MB_ICONEXCLAMATION;
    default: return MB_ICONINFORMATION;
    }
}

void ShowMessage(const char* caption, const char* text, MessageKind kind)
{
    MessageBoxA(nullptr, text, caption, MB_OK | IconOf(kind));
}

Answer AskQuestion(const char* caption, const char* text)
{
    switch (MessageBoxA(nullptr, text, caption, MB_YESNO | MB_ICONEXCLAMATION)) {
    case IDYES: return Answer::kYes;
    case 0: return Answer::kUnasked;  // the box could not be made
    default: return Answer::kNo;
    }
}
