// The frame in the back buffer, read back for a picture.
#pragma once
#include <vector>

// width x height RGB pixels from the bottom-left corner, rows top first as a picture has them.
std::vector<unsigned char> ReadFrameRgb(int width, int height);
