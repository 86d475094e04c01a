// A real GL context with no window, for tests and benchmarks: Mesa's OSMesa rendering into memory.
#pragma once
#include <cstdint>
#include <vector>

struct Rgb {
    int r, g, b;
};

// Makes a width x height RGBA context with a depth buffer current; false if Mesa cannot.
bool StartOffscreenGl(int width, int height);
void EndOffscreenGl();
// The pixel at (x, y) counted from the bottom left, after all drawing so far has finished.
Rgb ReadPixel(int x, int y);
// How many pixels of the rectangle satisfy the test.
int CountPixels(int x0, int y0, int width, int height, bool (*test)(Rgb));
bool IsBlack(Rgb c);
// Writes the whole frame as a PNG, top row first; false on failure.
bool SaveFramePng(const char* path);
// A PNG's pixels as RGB rows, top row first; empty when it cannot be read.
std::vector<unsigned char> ReadPngRgb(const char* path, int* width, int* height);
// How many pixels of the frame differ from the PNG's; -1 when it cannot be read or its size differs.
int CountDifferencesFromPng(const char* path);
