// A picture saved in the user's pictures folder, named for when it was taken.
#pragma once
#include <cstddef>

// Saves rgb (height rows of width RGB pixels, top row first) as kelvaron-YYYY-MM-DD-HHMMSS.png in the
// pictures folder, with -2, -3, ... when several are saved within a second. Written under another
// name and renamed when whole, so nobody sees half a picture. Puts the path in where, or on failure
// the path and the reason.
bool SavePicture(const unsigned char* rgb, int width, int height, char* where, size_t whereSize);
