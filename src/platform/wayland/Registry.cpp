// The connection to the compositor: the globals the backend binds, the outputs as they come and go,
// and the loop's one way of reading events.
#include <poll.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "ext-idle-notify-v1-client-protocol.h"
#include "kde-idle-client-protocol.h"
#include "platform/wayland/LayerShell.h"
#include "platform/wayland/WaylandBackend.h"

WaylandState gWayland;

static void HandleOutputGeometry(void* data, wl_output*, int32_t x, int32_t y, int32_t, int32_t, int32_t,
                                 const char*, const char*, int32_t)
{
    auto* output = static_cast<WaylandOutput*>(data);
    output->x = x;
    output->y = y;
}

static void HandleOutputMode(void*, wl_output*, uint32_t, int32_t, int32_t, int32_t) {}

static void HandleOutputDone(void* data, wl_output*)
{
    auto* output = static_cast<WaylandOutput*>(data);
    output->described = true;
    if (gWayland.windowMade && !output->layer)
        MakeOutputSurface(output);
}

static void HandleOutputScale(void* data, wl_output*, int32_t factor)
{
    static_cast<WaylandOutput*>(data)->scale = factor > 0 ? factor : 1;
}

static void HandleOutputName(void* data, wl_output*, const char* name)
{
    static_cast<WaylandOutput*>(data)->label = name;
}

static void HandleOutputDescription(void*, wl_output*, const char*) {}

static const wl_output_listener kOutputListener = {HandleOutputGeometry, HandleOutputMode,  HandleOutputDone,
                                                   HandleOutputScale,    HandleOutputName,  HandleOutputDescription};

static void AddOutput(uint32_t name, uint32_t version)
{
    auto* output = new WaylandOutput;
    output->name = name;
    output->label = "output " + std::to_string(name);
    output->output = static_cast<wl_output*>(
        wl_registry_bind(gWayland.registry, name, &wl_output_interface, std::min(version, 4u)));
    wl_output_add_listener(output->output, &kOutputListener, output);
    gWayland.outputs.push_back(output);
}

static void ReleaseOutput(WaylandOutput* output)
{
    DropOutputSurface(output);
    if (wl_output_get_version(output->output) >= WL_OUTPUT_RELEASE_SINCE_VERSION)
        wl_output_release(output->output);
    else
        wl_output_destroy(output->output);
    if (gWayland.pointerOutput == output)
        gWayland.pointerOutput = nullptr;
    delete output;
}

// Only a run takes the keyboard and the pointer; the idle watcher needs neither.
static void HandleSeatCapabilities(void*, wl_seat*, uint32_t capabilities)
{
    gWayland.seatCapabilities = capabilities;
    if (gWayland.windowMade)
        FollowSeatCapabilities();
}

static void HandleSeatName(void*, wl_seat*, const char*) {}

static const wl_seat_listener kSeatListener = {HandleSeatCapabilities, HandleSeatName};

template <typename Proxy>
static Proxy* Bind(uint32_t name, const wl_interface* interface, uint32_t version, uint32_t highest)
{
    return static_cast<Proxy*>(wl_registry_bind(gWayland.registry, name, interface, std::min(version, highest)));
}

static void HandleGlobal(void*, wl_registry*, uint32_t name, const char* interface, uint32_t version)
{
    WaylandState& w = gWayland;
    if (!std::strcmp(interface, wl_compositor_interface.name)) {
        w.compositor = Bind<wl_compositor>(name, &wl_compositor_interface, version, 4);
    } else if (!std::strcmp(interface, zwlr_layer_shell_v1_interface.name)) {
        w.layerShell = Bind<zwlr_layer_shell_v1>(name, &zwlr_layer_shell_v1_interface, version, 4);
    } else if (!std::strcmp(interface, ext_idle_notifier_v1_interface.name)) {
        w.idleNotifier = Bind<ext_idle_notifier_v1>(name, &ext_idle_notifier_v1_interface, version, 1);
    } else if (!std::strcmp(interface, org_kde_kwin_idle_interface.name)) {
        w.kdeIdle = Bind<org_kde_kwin_idle>(name, &org_kde_kwin_idle_interface, version, 1);
    } else if (!std::strcmp(interface, wl_seat_interface.name) && !w.seat) {
        // The first seat: a desktop has one.
        w.seat = Bind<wl_seat>(name, &wl_seat_interface, version, 5);
        wl_seat_add_listener(w.seat, &kSeatListener, nullptr);
    } else if (!std::strcmp(interface, wl_output_interface.name)) {
        AddOutput(name, version);
    }
}

static void HandleGlobalRemove(void*, wl_registry*, uint32_t name)
{
    auto& outputs = gWayland.outputs;
    auto gone = std::find_if(outputs.begin(), outputs.end(), [name](WaylandOutput* o) { return o->name == name; });
    if (gone == outputs.end())
        return;
    ReleaseOutput(*gone);
    outputs.erase(gone);
}

static const wl_registry_listener kRegistryListener = {HandleGlobal, HandleGlobalRemove};

bool ConnectToCompositor(std::string& error)
{
    if (gWayland.display)
        return true;
    gWayland.display = wl_display_connect(nullptr);
    if (!gWayland.display) {
        const char* name = std::getenv("WAYLAND_DISPLAY");
        error = std::string("cannot connect to a Wayland compositor (WAYLAND_DISPLAY is ") +
                (name ? std::string("'") + name + "')" : "not set: this is no Wayland session)");
        return false;
    }
    gWayland.registry = wl_display_get_registry(gWayland.display);
    wl_registry_add_listener(gWayland.registry, &kRegistryListener, nullptr);
    // The globals, then what binding them told (the outputs' descriptions, the seat's capabilities).
    if (wl_display_roundtrip(gWayland.display) < 0 || wl_display_roundtrip(gWayland.display) < 0) {
        error = "the compositor ended the connection as it began";
        DisconnectFromCompositor();
        return false;
    }
    return true;
}

void DisconnectFromCompositor()
{
    WaylandState& w = gWayland;
    if (!w.display)
        return;
    ReleaseSeatDevices();
    for (WaylandOutput* output : w.outputs)
        ReleaseOutput(output);
    w.outputs.clear();
    if (w.seat)
        wl_seat_destroy(w.seat);
    if (w.layerShell)
        zwlr_layer_shell_v1_destroy(w.layerShell);
    if (w.idleNotifier)
        ext_idle_notifier_v1_destroy(w.idleNotifier);
    if (w.kdeIdle)
        org_kde_kwin_idle_destroy(w.kdeIdle);
    if (w.compositor)
        wl_compositor_destroy(w.compositor);
    wl_registry_destroy(w.registry);
    wl_display_disconnect(w.display);
    w = WaylandState{};
}

int DispatchWaylandEvents(int milliseconds)
{
    wl_display* display = gWayland.display;
    int handled = 0;
    while (wl_display_prepare_read(display) != 0) {
        const int n = wl_display_dispatch_pending(display);
        if (n < 0)
            return -1;
        handled += n;
    }
    wl_display_flush(display);  // what does not fit now goes with the next call
    pollfd ready = {wl_display_get_fd(display), POLLIN, 0};
    if (poll(&ready, 1, handled > 0 ? 0 : milliseconds) > 0) {
        if (wl_display_read_events(display) < 0)
            return -1;
    } else {
        wl_display_cancel_read(display);
    }
    const int n = wl_display_dispatch_pending(display);
    return n < 0 ? -1 : handled + n;
}
