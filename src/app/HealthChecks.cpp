#include "app/HealthChecks.h"

#include <cstdio>
#include <cstdlib>

#include "gl/GlErrors.h"
#include "physics/SceneChecks.h"
#include "sim/Simulation.h"

static long gLooks, gGlErrors, gUnfiniteLooks;
static uint32_t gLastLook;

static bool AreChecksOn()
{
    static const bool on = std::getenv("KELVARON_HEALTH_CHECKS") != nullptr;
    return on;
}

void CheckRunHealth(uint32_t now)
{
    if (!AreChecksOn() || (gLooks > 0 && uint32_t(now - gLastLook) < 1000))
        return;
    gLastLook = now;
    ++gLooks;
    unsigned first;
    if (int errors = TakeGlErrors(&first)) {
        gGlErrors += errors;
        std::fprintf(stderr, "kelvaron: health: GL error 0x%04x (%d at this look)\n", first, errors);
    }
    for (dBodyID body : CollectBodies(gSim.scene))
        if (!IsFinite(body)) {
            ++gUnfiniteLooks;
            std::fprintf(stderr, "kelvaron: health: a body is no longer finite (look %ld)\n", gLooks);
            break;
        }
}

void SayRunHealth()
{
    if (AreChecksOn())
        std::fprintf(stderr, "kelvaron: health: %ld looks, %ld GL errors, %ld with a body not finite\n", gLooks,
                     gGlErrors, gUnfiniteLooks);
}
