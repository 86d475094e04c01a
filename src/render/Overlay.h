// The overlay quadrant: two lines of figures and a top-down map of the cars.
#pragma once
#include "physics/Scene.h"

// The figures the shell hands over for the first line.
struct OverlayFigures {
    float fps;        // frames per second at the last measurement
    float gravity;    // the settings' gravity, as shown
    float sleepTime;  // the sleep-time figure
    bool paused;      // the simulation stands still: a third line says so
    const char* shared;  // in a shared run, its line: the seat, ping and delay, or what is amiss; else null
};

// Draws into the current viewport under the projection ResizeViewport sets.
void DrawOverlay(const Scene& scene, const OverlayFigures& figures);
