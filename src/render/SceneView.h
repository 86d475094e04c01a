// A whole frame: three views that follow cars 1, 0 and 2, and the overlay quadrant.
#pragma once
#include "render/Overlay.h"

// What the shell hands over for one frame.
struct FrameView {
    const Scene* scene;  // the world's, drawn as it is
    int width, height;  // the size the quadrants are cut from: the configured screen size, not the
                        // window's, unless the window's drawing buffer follows the screen (the page)
    int cameraMode;     // 1 to 5
    OverlayFigures figures;
};

void RenderFrame(const FrameView& view);
// Whether a view skips the boxes and spheres wholly outside it (the same pixels either way; on by default).
// Only the render tests turn it off, to compare.
extern bool gSkipUnseenShapes;
// The camera of the given mode for car k, then the whole scene, into the current viewport.
void DrawView(const Scene& scene, int k, int cameraMode);
void DrawAxes();
void DrawGrid();
