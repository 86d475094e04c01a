// State of the run that the rest reads. Each global is written by the one file named beside it.
#pragma once

extern bool gPreview;      // here: drawing inside a host's window, so mouse motion does not end the run
extern bool gFullscreen;   // here: the display mode was changed for the run; the teardown gives it back
extern float gDesiredFps;  // here: what the sleep-time figure aims at; 30 until settings say otherwise
extern bool gViewFollowsWindow;  // here: the quadrants are cut from the window's size, not the settings' (the page)
extern bool gActive;       // WindowEvents.cpp: the window is not minimised, so frames are drawn
extern int gWindowWidth;   // WindowEvents.cpp: the render window's size as last made or reported
extern int gWindowHeight;

// Puts every piece of run state (these, the settings, keys, camera, mouse reference, frame
// statistics, commands, pads, playback, and the world's record but its scene) back as a new process
// has it, each through the file that writes it.
void ResetRunState();
// The shell tells what it opened: a window inside a host's, and whether the display mode changed.
void NoteRenderWindow(bool inHost, bool modeChanged);
void NoteDesiredFps(float fps);
// A run begins with nothing queued, held or asked for, no pad with a car, and the world's record as
// a new process has it.
void StartRunInput();
// The window's drawing buffer follows the screen rather than the size asked (HandleDrawingBufferResized).
void NoteViewFollowsWindow(bool follows);
