// F12: the frame just drawn, saved as a picture by the backend, and where it went said.
#pragma once

// Reads the window's frame back before it is shown and hands it to the backend to save.
void SaveScreenshot();
