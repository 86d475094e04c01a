// Pictures saved for the user, in the pictures folder named for when they were taken.
#pragma once
#include <cstddef>

// Saves rgb (height rows of width RGB pixels, top row first) there as a PNG.
bool SavePicture(const unsigned char* rgb, int width, int height, char* where, size_t whereSize);
