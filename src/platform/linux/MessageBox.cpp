// Message boxes of the Linux program: the same captions, texts and buttons as the Windows build's.
#include <SDL.h>

#include <cstdio>

#include "platform/linux/LinuxBackend.h"

void ShowMessage(const char* caption, const char* text, Uint32 flags)
{
    std::fprintf(stderr, "kelvaron: %s: %s\n", caption, text);
    SDL_ShowSimpleMessageBox(flags, caption, text, nullptr);
}

bool AskForWindowedMode()
{
    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "No"},
    };
    const SDL_MessageBoxData box = {
        SDL_MESSAGEBOX_WARNING, nullptr, "GL",
        "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode Instead?",
        2, buttons, nullptr};
    std::fprintf(stderr, "kelvaron: GL: the fullscreen mode is not available; asking about a window\n");
    int answer = 0;
    return SDL_ShowMessageBox(&box, &answer) == 0 && answer == 1;
}

