// The event pump on Wayland: the seat's keys and pointer turned into the calls the window procedure
// makes on Windows, the pads' comings and goings from SDL, and an ending signal or a lost compositor
// ending the run as closing a window does.
#include <SDL.h>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdio>
#include <cstring>

#include "platform/Platform.h"
#include "platform/linux/LinuxBackend.h"
#include "platform/wayland/WaylandBackend.h"

static void ReplaceKeymap(xkb_keymap* keymap)
{
    WaylandState& w = gWayland;
    xkb_state_unref(w.keyState);
    xkb_keymap_unref(w.keymap);
    w.keymap = keymap;
    w.keyState = keymap ? xkb_state_new(keymap) : nullptr;
}

static void HandleKeymap(void*, wl_keyboard*, uint32_t format, int32_t fd, uint32_t size)
{
    WaylandState& w = gWayland;
    if (format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1) {
        void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (text != MAP_FAILED) {
            if (!w.xkb)
                w.xkb = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
            const char* map = static_cast<const char*>(text);
            ReplaceKeymap(w.xkb ? xkb_keymap_new_from_buffer(w.xkb, map, strnlen(map, size), XKB_KEYMAP_FORMAT_TEXT_V1,
                                                             XKB_KEYMAP_COMPILE_NO_FLAGS)
                                : nullptr);
            munmap(text, size);
        }
    }
    close(fd);
}


static void HandleKeyboardLeave(void*, wl_keyboard*, uint32_t, wl_surface*)
{
    HandleFocusLost();
}

// A key is named by its symbol on the layout's first level, as SDL names it: Shift is a key of its own.
static void HandleKey(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t key, uint32_t state)
{
    WaylandState& w = gWayland;
    if (!w.keymap)
        return;
    const xkb_keycode_t code = key + 8;  // evdev's numbers, as XKB counts them
    const xkb_layout_index_t layout = xkb_state_key_get_layout(w.keyState, code);
    const xkb_keysym_t* symbols;
    const int count = xkb_keymap_key_get_syms_by_level(w.keymap, code, layout == XKB_LAYOUT_INVALID ? 0 : layout, 0,
                                                       &symbols);
    const int vk = count > 0 ? TranslateKeysym(symbols[0]) : -1;
    if (vk >= 0)
        state == WL_KEYBOARD_KEY_STATE_PRESSED ? HandleKeyDown(unsigned(vk)) : HandleKeyUp(unsigned(vk));
}

// The keys already down as the run takes the keyboard count as pressed now: a keyboard that came
// with its first key (a virtual one) gave that key's press before the run could hear of it.
static void HandleKeyboardEnter(void*, wl_keyboard* keyboard, uint32_t serial, wl_surface*, wl_array* keys)
{
    const uint32_t* down = static_cast<const uint32_t*>(keys->data);
    for (size_t i = 0; i < keys->size / sizeof *down; ++i)
        HandleKey(nullptr, keyboard, serial, 0, down[i], WL_KEYBOARD_KEY_STATE_PRESSED);
}

static void HandleModifiers(void*, wl_keyboard*, uint32_t, uint32_t depressed, uint32_t latched, uint32_t locked,
                            uint32_t group)
{
    if (gWayland.keyState)
        xkb_state_update_mask(gWayland.keyState, depressed, latched, locked, 0, 0, group);
}

// A held key is one command: no repeats are made.
static void HandleRepeatInfo(void*, wl_keyboard*, int32_t, int32_t) {}

static const wl_keyboard_listener kKeyboardListener = {HandleKeymap, HandleKeyboardEnter, HandleKeyboardLeave,
                                                       HandleKey,    HandleModifiers,     HandleRepeatInfo};

// The pointer's place in the compositor's space: its output's place and its place on the surface.
static void ReportPointer(wl_fixed_t x, wl_fixed_t y)
{
    if (const WaylandOutput* output = gWayland.pointerOutput)
        HandleMouseMoved(output->x + wl_fixed_to_int(x), output->y + wl_fixed_to_int(y));
}

// The surface appearing under the pointer, or the pointer coming onto it, is its first motion.
static void HandlePointerEnter(void*, wl_pointer* pointer, uint32_t serial, wl_surface* surface, wl_fixed_t x,
                               wl_fixed_t y)
{
    wl_pointer_set_cursor(pointer, serial, nullptr, 0, 0);  // no cursor over the run
    gWayland.pointerOutput = nullptr;
    for (const WaylandOutput* output : gWayland.outputs)
        if (output->surface == surface)
            gWayland.pointerOutput = output;
    ReportPointer(x, y);
}

static void HandlePointerLeave(void*, wl_pointer*, uint32_t, wl_surface*)
{
    gWayland.pointerOutput = nullptr;
}

static void HandlePointerMotion(void*, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y)
{
    ReportPointer(x, y);
}

// Clicks and the wheel end nothing and do nothing.
static void HandleButton(void*, wl_pointer*, uint32_t, uint32_t, uint32_t, uint32_t) {}
static void HandleAxis(void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {}
static void HandlePointerFrame(void*, wl_pointer*) {}
static void HandleAxisSource(void*, wl_pointer*, uint32_t) {}
static void HandleAxisStop(void*, wl_pointer*, uint32_t, uint32_t) {}
static void HandleAxisDiscrete(void*, wl_pointer*, uint32_t, int32_t) {}

static const wl_pointer_listener kPointerListener = {
    HandlePointerEnter, HandlePointerLeave, HandlePointerMotion, HandleButton,       HandleAxis,
    HandlePointerFrame, HandleAxisSource,   HandleAxisStop,      HandleAxisDiscrete, nullptr};

// A device's release request came with version 3 of the seat.
template <typename Device>
static void LetGo(Device* device, uint32_t version, void (*release)(Device*), void (*destroy)(Device*))
{
    version >= 3 ? release(device) : destroy(device);
}

void FollowSeatCapabilities()
{
    WaylandState& w = gWayland;
    const uint32_t version = wl_seat_get_version(w.seat);
    const bool keys = w.seatCapabilities & WL_SEAT_CAPABILITY_KEYBOARD;
    const bool pointing = w.seatCapabilities & WL_SEAT_CAPABILITY_POINTER;
    if (keys && !w.keyboard) {
        w.keyboard = wl_seat_get_keyboard(w.seat);
        wl_keyboard_add_listener(w.keyboard, &kKeyboardListener, nullptr);
    } else if (!keys && w.keyboard) {
        HandleFocusLost();  // the keys it held come up
        LetGo(w.keyboard, version, wl_keyboard_release, wl_keyboard_destroy);
        w.keyboard = nullptr;
    }
    if (pointing && !w.pointer) {
        w.pointer = wl_seat_get_pointer(w.seat);
        wl_pointer_add_listener(w.pointer, &kPointerListener, nullptr);
    } else if (!pointing && w.pointer) {
        LetGo(w.pointer, version, wl_pointer_release, wl_pointer_destroy);
        w.pointer = nullptr;
        w.pointerOutput = nullptr;
    }
}

void ReleaseSeatDevices()
{
    WaylandState& w = gWayland;
    if (w.keyboard)
        LetGo(w.keyboard, wl_seat_get_version(w.seat), wl_keyboard_release, wl_keyboard_destroy);
    if (w.pointer)
        LetGo(w.pointer, wl_seat_get_version(w.seat), wl_pointer_release, wl_pointer_destroy);
    w.keyboard = nullptr;
    w.pointer = nullptr;
    ReplaceKeymap(nullptr);
    xkb_context_unref(w.xkb);
    w.xkb = nullptr;
}

PumpResult PumpOneEvent()
{
    if (IsEndingSignalled()) {
        HandleCloseRequested();
        return PumpResult::kHandled;
    }
    SDL_Event e;
    if (SDL_WasInit(SDL_INIT_GAMECONTROLLER) && SDL_PollEvent(&e)) {
        HandlePadEvent(e);
        return PumpResult::kHandled;
    }
    const int handled = DispatchWaylandEvents(0);
    if (handled < 0) {
        std::fprintf(stderr, "kelvaron: the compositor ended the connection\n");
        HandleCloseRequested();
        return PumpResult::kHandled;
    }
    return handled > 0 ? PumpResult::kHandled : PumpResult::kIdle;
}

// Events already read (EGL reads the connection too while it swaps) wake it at once; the rest stay
// for PumpOneEvent.
void WaitForEvents(uint32_t milliseconds)
{
    wl_display* display = gWayland.display;
    if (wl_display_prepare_read(display) != 0)
        return;
    wl_display_flush(display);
    pollfd ready = {wl_display_get_fd(display), POLLIN, 0};
    poll(&ready, 1, int(milliseconds));
    wl_display_cancel_read(display);
}
