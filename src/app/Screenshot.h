// F12: the frame just drawn, saved as a picture in the user's pictures folder, and where it went said.
#pragma once

// Reads the window's frame back before it is shown and saves it.
void SaveScreenshot();
