// XKB's key symbols as the Windows virtual-key codes the shell names keys by.
#include <xkbcommon/xkbcommon-keysyms.h>

#include "platform/Platform.h"
#include "platform/wayland/WaylandBackend.h"

int TranslateKeysym(uint32_t keysym)
{
    if (keysym >= XKB_KEY_a && keysym <= XKB_KEY_z)
        return 'A' + int(keysym - XKB_KEY_a);
    if (keysym >= XKB_KEY_A && keysym <= XKB_KEY_Z)
        return 'A' + int(keysym - XKB_KEY_A);
    if (keysym >= XKB_KEY_0 && keysym <= XKB_KEY_9)
        return '0' + int(keysym - XKB_KEY_0);
    if (keysym >= XKB_KEY_F1 && keysym <= XKB_KEY_F12)
        return kVkF1 + int(keysym - XKB_KEY_F1);
    switch (keysym) {
    case XKB_KEY_space: return kVkSpace;
    case XKB_KEY_Escape: return kVkEscape;
    case XKB_KEY_Left: return kVkLeft;
    case XKB_KEY_Up: return kVkUp;
    case XKB_KEY_Right: return kVkRight;
    case XKB_KEY_Down: return kVkDown;
    case XKB_KEY_Return: return kVkReturn;
    case XKB_KEY_BackSpace: return kVkBack;
    case XKB_KEY_Tab: return kVkTab;
    case XKB_KEY_Shift_L: case XKB_KEY_Shift_R: return kVkShift;
    case XKB_KEY_Control_L: case XKB_KEY_Control_R: return kVkControl;
    case XKB_KEY_Alt_L: case XKB_KEY_Alt_R: return kVkMenu;
    default: return -1;
    }
}
