// State of the run that the shell sets and the rest reads.
#pragma once

extern bool gPreview;      // drawing inside a host's window: mouse motion does not end the run
extern bool gFullscreen;   // the display mode was (to be) changed for the run
extern bool gActive;       // the window is not minimised: frames are drawn
extern float gDesiredFps;  // the frame rate the sleep-time figure aims at; 30 until settings say otherwise
extern int gWindowWidth;   // the render window's size as last made or reported
extern int gWindowHeight;

// Puts every piece of run state (these, the settings, keys, camera, mouse reference, frame
// statistics, the autopilot and the cars' targets) back as a new process has it.
void ResetRunState();
