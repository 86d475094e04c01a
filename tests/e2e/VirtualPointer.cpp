// The Wayland tests' pointer: a virtual pointer (wlr-virtual-pointer-unstable-v1) that moves to each
// place read from standard input, "X Y" in the compositor's space of WIDTH x HEIGHT, and says "at X Y"
// once the compositor has taken the motion. It is plugged in from "ready" until its input ends.
//   kelvaron-test-pointer WIDTH HEIGHT
#include <wayland-client.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

static zwlr_virtual_pointer_manager_v1* gManager;
static wl_seat* gSeat;

static void HandleGlobal(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t)
{
    if (!std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name))
        gManager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    else if (!std::strcmp(interface, wl_seat_interface.name) && !gSeat)
        gSeat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
}

static void HandleGlobalRemove(void*, wl_registry*, uint32_t) {}

static const wl_registry_listener kRegistryListener = {HandleGlobal, HandleGlobalRemove};

int main(int argc, char** argv)
{
    const int width = argc == 3 ? std::atoi(argv[1]) : 0, height = argc == 3 ? std::atoi(argv[2]) : 0;
    if (width <= 0 || height <= 0) {
        std::fprintf(stderr, "usage: kelvaron-test-pointer WIDTH HEIGHT, then X Y on each line of input\n");
        return 2;
    }
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "kelvaron-test-pointer: no Wayland compositor to connect to\n");
        return 1;
    }
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kRegistryListener, nullptr);
    wl_display_roundtrip(display);
    if (!gManager) {
        std::fprintf(stderr, "kelvaron-test-pointer: the compositor offers no virtual pointer\n");
        return 1;
    }
    zwlr_virtual_pointer_v1* pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(gManager, gSeat);
    wl_display_roundtrip(display);
    std::printf("ready\n");
    std::fflush(stdout);
    int x, y;
    uint32_t ms = 0;
    while (std::scanf("%d %d", &x, &y) == 2 && x >= 0 && y >= 0) {
        zwlr_virtual_pointer_v1_motion_absolute(pointer, ms += 10, uint32_t(x), uint32_t(y), uint32_t(width),
                                                uint32_t(height));
        zwlr_virtual_pointer_v1_frame(pointer);
        wl_display_roundtrip(display);
        std::printf("at %d %d\n", x, y);
        std::fflush(stdout);
    }
    zwlr_virtual_pointer_v1_destroy(pointer);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
