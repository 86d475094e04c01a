#include "Soak.h"

#include <chrono>
#include <cstdio>
#include <cstring>

#include "FreshProcess.h"
#include "RandomDrive.h"
#include "physics/SceneChecks.h"
#include "app/Frame.h"
#include "record/Playback.h"
#include "platform/Platform.h"
#include "physics/OdeMessages.h"
#include "sim/Simulation.h"

// Resident and peak resident memory of this process in KiB, as the kernel counts them.
static void ReadMemory(long* residentKib, long* peakKib)
{
    *residentKib = *peakKib = -1;
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return;
    char line[256];
    while (std::fgets(line, sizeof line, status)) {
        std::sscanf(line, "VmRSS: %ld", residentKib);
        std::sscanf(line, "VmHWM: %ld", peakKib);
    }
    std::fclose(status);
}

int RunSoak(long frames, unsigned seed, const char* record)
{
    // Long enough for the allocators (and a sanitizer's quarantine) to reach their steady state.
    const long warmUp = frames / 10;
    StartScene();
    if (record)
        RecordRunInto(record);
    std::vector<dBodyID> bodies = CollectBodies(gSim.scene);
    RandomDrive drive = StartRandomDrive(seed);
    long warmKib = 0, peakKib = 0, endKib = 0, firstBad = -1;
    auto start = std::chrono::steady_clock::now();
    for (long frame = 1; frame <= frames && firstBad < 0; ++frame) {
        ChangeRandomKey(drive);
        RunFrame();
        if (frame % 100 == 0)
            for (dBodyID b : bodies)
                if (!IsFinite(b))
                    firstBad = frame;
        if (frame == warmUp)
            ReadMemory(&warmKib, &peakKib);
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ReadMemory(&endKib, &peakKib);
    if (record)
        FinishPlayback();
    EndScene();

    long growthKib = endKib - warmKib;
    std::printf("soak: %ld frames of random driving, seed %u: %.0f frames per second; peak RSS %ld KiB, "
                "RSS after %ld warm-up frames %ld KiB, at the end %ld KiB, growth %ld KiB; ODE's messages %ld\n",
                frames, seed, double(frames) / seconds, peakKib, warmUp, warmKib, endKib, growthKib,
                CountOdeMessages());
    if (firstBad >= 0) {
        std::printf("soak: a body was no longer finite at frame %ld\n", firstBad);
        return 1;
    }
    if (growthKib >= 1024) {
        std::printf("soak: resident memory grew by 1 MiB or more after the warm-up\n");
        return 1;
    }
    return 0;
}
