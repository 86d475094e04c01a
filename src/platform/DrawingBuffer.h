// What a backend calls, besides platform/Platform.h, when its window's drawing buffer follows the
// screen rather than the size the run asked for: the page's canvas, drawn at as many pixels as the
// screen shows it with (a HiDPI screen, the browser's zoom, full screen).
#pragma once

// The buffer is now width x height pixels. From the next frame on the quadrants are cut from it
// (not from the configured screen size), pictures are read back at its size, and the overlay's
// glyphs are made again, so that the backend renders them at its new scale.
void HandleDrawingBufferResized(int width, int height);
