// Frame statistics: frames counted, and every ten seconds the frame rate measured, shown in the window
// title, and the sleep-time figure moved toward the desired frame rate. Written here alone.
#pragma once
#include <cstdint>

extern float gFrameCount;       // frames since the last update
extern float gFps;              // frames per second measured at the last update
extern float gSleepTime;        // moves by 10 toward the desired frame rate; never below 0
extern char gTitleText[20];

// No frame counted, nothing measured: as a new process has it.
void ResetFrameStats();
// Counts the frame; once more than ten seconds have passed since the last update, measures the frame
// rate over the time really passed, shows it in the window title and moves the sleep-time figure.
void UpdateFrameStats();
