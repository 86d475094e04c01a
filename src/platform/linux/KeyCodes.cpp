// SDL's key codes as the Windows virtual-key codes the shell names keys by.
#include "platform/Platform.h"
#include "platform/linux/LinuxBackend.h"

int TranslateKey(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z)
        return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9)
        return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return kVkF1 + (key - SDLK_F1);
    switch (key) {
    case SDLK_SPACE: return kVkSpace;
    case SDLK_ESCAPE: return kVkEscape;
    case SDLK_LEFT: return kVkLeft;
    case SDLK_UP: return kVkUp;
    case SDLK_RIGHT: return kVkRight;
    case SDLK_DOWN: return kVkDown;
    case SDLK_RETURN: return kVkReturn;
    case SDLK_BACKSPACE: return kVkBack;
    case SDLK_TAB: return kVkTab;
    case SDLK_LSHIFT: case SDLK_RSHIFT: return kVkShift;
    case SDLK_LCTRL: case SDLK_RCTRL: return kVkControl;
    case SDLK_LALT: case SDLK_RALT: return kVkMenu;
    default: return -1;
    }
}
