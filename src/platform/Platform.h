// The one contract between the shared code and a platform backend, both ways: first what a backend
// supplies, then what it calls in return. Only plain types cross it; a backend returns its results
// rather than writing the shell's state.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct Glyph;  // gl/Text.h

// ===== What a backend supplies =====

// --- The render window and its GL context ---

// Opens the render window with a current GL context (double-buffered RGBA, a depth buffer), sets the
// viewport and the GL state, and returns true. parent 0: a top-level window, fullscreen at the given
// size and depth if asked and possible (the backend asks the user whether to go on windowed); else
// a child window filling the host window parent. *modeChanged tells whether the display mode was
// changed for it. On failure the backend has told the user why and left nothing behind.
bool CreateRenderWindow(const char* title, int width, int height, int bits, bool fullscreen, uintptr_t parent,
                        bool* modeChanged);
// Closes the window and its context and gives the desktop back its display mode.
void DestroyRenderWindow();
// Replaces the render window's title.
void SetRenderWindowTitle(const char* title);
// Shows the frame just drawn.
void PresentFrame();

// --- Events ---

enum class PumpResult {
    kIdle,     // nothing was waiting: time for a frame
    kHandled,  // one event was handled
    kQuit,     // the quit request has arrived
};
// Takes at most one waiting event and hands it to the handlers below.
PumpResult PumpOneEvent();
// Asks for the end of the run; PumpOneEvent answers kQuit once the events before it are handled.
void PostQuitRequest();
// Sleeps until an event is waiting or the milliseconds have passed, whichever comes first.
void WaitForEvents(uint32_t milliseconds);

// --- Time ---

// Milliseconds from an arbitrary start, wrapping at 2^32 like the Windows tick count.
uint32_t ReadTickCount();
// For the start-up figures only: the wall clock, and the process's start as the system records it,
// both in milliseconds since 1970 (the clock to the microsecond).
double ReadWallClockMs();
double ReadProcessStartMs();

// --- Settings store: the values in their stored form, indexed as kSettingNames ---

constexpr int kStoredValueCount = 8;
struct StoredSettings {
    int32_t values[kStoredValueCount];
    bool present[kStoredValueCount];
};
// Fills in what the store holds; anything missing or unreadable is marked absent.
void ReadStoredSettings(StoredSettings* stored);
// Writes all the values so that the old ones stay whole if it fails; false with the reason in error.
bool WriteStoredSettings(const int32_t values[kStoredValueCount], char* error, size_t errorSize);
// Shows the settings dialog until the user ends it (its decisions are in app/SettingsDialog.h);
// false, having said why, if it cannot be shown.
bool RunSettingsDialog();

// --- Pictures ---

// Saves a frame (rgb: height rows of width RGB pixels, top row first) as a PNG named with the date
// and time in the user's pictures folder; puts its path in where, or on failure the reason.
bool SavePicture(const unsigned char* rgb, int width, int height, char* where, size_t whereSize);

// --- Overlay font ---

// Renders the overlay font's glyphs, codes kFontFirstChar on (see gl/Text.h); none when no font can be
// had, so that text draws nothing.
std::vector<Glyph> CreateBitmapFont();

// ===== What a backend calls =====

// A step of the start is done: with KELVARON_STARTUP_TIMES set, one line "kelvaron: start-up STEP MS"
// on standard error, MS from the launch: the time the variable holds, in seconds since 1970 as bash's
// $EPOCHREALTIME gives it, or with any other value the process's start. The steps in order: main and video (the window system
// is ready), noted by the backend; window (with its GL context), world, font and frame (the first one
// presented), noted by the shell. bench/startup-figures.sh reads them.
void NoteStartupStep(const char* step);

// Keys, by Windows virtual-key code on every platform.
void HandleKeyDown(unsigned vk);
void HandleKeyUp(unsigned vk);
// The window lost the keyboard: no key-up will come for the keys held now.
void HandleFocusLost();
// The cursor moved; screenX and screenY are its position on the screen, not in the window.
void HandleMouseMoved(int screenX, int screenY);
void HandleResized(int width, int height);
void HandleMinimised(bool minimised);
void HandleCloseRequested();

// Gamepads, read once a frame: pad n drives car n (the first pad found is car 0) through the same
// held keys the keyboard sets for that car, so keys and pads mix.
constexpr int kPadCount = 3;
struct PadState {
    float steer;     // left stick across, or the d-pad: -1 full left to 1 full right
    bool forward;    // right trigger, or face button A
    bool backward;   // left trigger, or face button B
    bool lift;       // either shoulder button
    bool brake;      // face button X: on pad 0 what the space bar does
    bool rightCar;   // face button Y: this pad's car back on its wheels
};
// The pad's keys go down and up as its state has changed since the last call.
void UpdatePad(int pad, const PadState& state);
// The pad went away: every key it held comes up.
void ReleasePad(int pad);
