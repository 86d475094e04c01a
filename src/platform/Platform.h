// The one contract between the shared code and a platform backend, both ways: the facts both sides
// name, what a backend supplies, and what it calls in return. Only plain types cross it; a backend
// returns its results rather than writing the shell's state, and includes nothing of the shared
// rooms but this header.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// ===== Facts both sides name =====

// Keys, by Windows virtual-key code on every platform.
constexpr int kVkBack = 0x08;
constexpr int kVkTab = 0x09;
constexpr int kVkReturn = 0x0D;
constexpr int kVkShift = 0x10;
constexpr int kVkControl = 0x11;
constexpr int kVkMenu = 0x12;  // Alt
constexpr int kVkEscape = 0x1B;
constexpr int kVkSpace = 0x20;
constexpr int kVkLeft = 0x25;
constexpr int kVkUp = 0x26;
constexpr int kVkRight = 0x27;
constexpr int kVkDown = 0x28;
constexpr int kVkF1 = 0x70;  // to F12, 0x7B
constexpr int kKeyCount = 256;

// The stored values, in the order of the settings record's fields: the six the dialog has always had,
// then the two switches (0 or 1; absent is off).
constexpr int kStoredValueCount = 8;
inline constexpr const char* kSettingNames[kStoredValueCount] = {
    "bitsPP", "screenWidth", "screenHeight", "dFps", "sGravity", "boxMass", "autopilot", "steadyPace"};
struct StoredSettings {
    int32_t values[kStoredValueCount];
    bool present[kStoredValueCount];
};

// The settings dialog: six texts in field order, their labels and help, and two check boxes.
constexpr int kFieldCount = 6;
constexpr size_t kFieldTextSize = 260;
struct SettingsFields {
    char text[kFieldCount][kFieldTextSize];
    bool autopilot;
    bool steadyPace;
};
constexpr const char* kSettingsDialogTitle = "Screen Saver Config.";
inline constexpr const char* kFieldLabels[kFieldCount] = {"Bits per pixel", "Screen width", "Screen height",
                                                          "Desired Fps",    "Gravity",      "Box mass"};
constexpr const char* kSettingsHelpTitle = "Saver Settings.";
constexpr const char* kSettingsHelpText = "Bits:  16,24,32,64\nWidth: 640,800,1024\nHeight:400,600, 768\n"
                                          "Fps:   30 (1%cpu/P4)\nGravity: 0.005\nBox mass:0.005";
constexpr const char* kAutopilotLabel = "Cars drive themselves when left alone";
constexpr const char* kSteadyPaceLabel = "Steady pace at the desired Fps";

// The screensaver host's three modes, chosen by the second character of its command line.
enum class RunMode {
    kPreview,         // inside the screensaver host's preview window
    kFullRun,         // the screensaver proper, with the stored settings
    kSettingsDialog,  // anything else
};
constexpr const char* kBadPreviewId = "the preview switch needs the host window's id after it, decimal or 0x hexadecimal";

// A glyph of the overlay font as the font renders it: rows of bits from the top down, each row whole
// bytes; the origin's place in the bitmap (glBitmap's xorig, yorig); how far it moves on.
struct FontGlyph {
    int width = 0, height = 0;
    float xorig = 0, yorig = 0;
    float xmove = 0;
    std::vector<unsigned char> rows;
};
constexpr int kFontFirstChar = 32;
constexpr int kFontGlyphCount = 96;  // codes 32 to 127

enum class MessageKind { kInformation, kWarning, kError };
enum class Answer { kYes, kNo, kUnasked };  // kUnasked: the question could not be shown at all

// Gamepads, read once a frame: the first three pads found drive cars 0, 1 and 2, each keeping its car
// while it stays.
constexpr int kPadCount = 3;
struct PadState {
    float steer;     // left stick across: -1 full left to 1 full right
    float forward;   // right trigger's travel, 0 to 1; face button A counts as 1
    float backward;  // left trigger's travel, 0 to 1; face button B counts as 1
    bool lift;       // either shoulder button
    bool brake;      // face button X: on pad 0 what the space bar does
    bool upright;    // face button Y: this pad's car back on its wheels
    bool dpadLeft;   // the d-pad steers fully, whatever the stick says
    bool dpadRight;
};

// Where a relay's rooms are: what a room's link (http://HOST:PORT/?room=CODE) names.
struct RelayAddress {
    std::string host;    // a name or an address, as the link has it (an IPv6 address without its brackets)
    int port = 0;
    std::string target;  // the WebSocket's path and query: "/ws", or "/ws?room=CODE"
};

// The host as a link or an HTTP Host field writes it: an IPv6 address in brackets.
inline std::string WriteRelayHost(const std::string& host)
{
    return host.find(':') == std::string::npos ? host : "[" + host + "]";
}

// A relay's close in plain words: its own reason, or what its code means when it gave none.
inline std::string DescribeRelayClose(int code, const std::string& reason)
{
    if (!reason.empty())
        return reason;
    return code == 1009 ? "a message was larger than the relay takes" : "the relay closed the connection";
}

// ===== What a backend supplies =====

// --- Messages ---
// Says it to the user (and on standard error where there is one), and waits for OK.
void ShowMessage(const char* caption, const char* text, MessageKind kind);
// A Yes/No question, Yes the default.
Answer AskQuestion(const char* caption, const char* text);

// --- The display and the render window with its GL context ---
// Why the render window could not be had; the shell shows the user the failure's text.
enum class WindowFailure {
    kNone,
    kRegisterClass,
    kCreateWindow,
    kDeviceContext,
    kChoosePixelFormat,
    kSetPixelFormat,
    kCreateContext,
    kActivateContext,
    kHostGone,  // the host window went while the preview's was being made: its end, not a failure
};
inline constexpr const char* kWindowFailureTexts[] = {
    "",
    "Failed To Register The Window Class.",
    "Window Creation Error.",
    "Can't Create A GL Device Context.",
    "Can't Find A Suitable PixelFormat.",
    "Can't Set The PixelFormat.",
    "Can't Create A GL Rendering Context.",
    "Can't Activate The GL Rendering Context.",
    "",
};
// Readies what every render window needs before the display mode may change (on Windows, the window
// class; elsewhere the video system). Nothing is left to undo when it fails.
WindowFailure PrepareRenderWindow();
// Puts the display into the mode for a full run; false, with nothing changed, when it cannot be had.
bool SetFullscreenMode(int width, int height, int bits);
// Gives the desktop back its display mode and shows the cursor again.
void RestoreDisplayMode();
// Opens the render window with a current GL context (double-buffered RGBA, a depth buffer). parent 0:
// a top-level window, covering the display in the mode set if fullscreen; else a child window filling
// the host window parent. On failure what it made is left for DestroyRenderWindow, which the shell
// calls once it has given back the display mode, and it says why.
WindowFailure CreateRenderWindow(const char* title, int width, int height, int bits, bool fullscreen,
                                 uintptr_t parent);
// Closes the window and its context, and undoes PrepareRenderWindow.
void DestroyRenderWindow();
void SetRenderWindowTitle(const char* title);
// The surfaces a frame is drawn on, in turn: a window is one, a layer run's window one on every output,
// each its own size. Makes surface index current, reporting its size through HandleResized when it is
// not the size last reported; false, with nothing done, when there is no such surface.
bool SelectRenderSurface(int index);
// Shows the frame just drawn, on every surface.
void PresentFrame();
// A full run's other monitors go black while it lasts.
void CoverOtherMonitors();
void UncoverMonitors();

// --- Events ---
enum class PumpResult {
    kIdle,     // nothing was waiting: time for a frame
    kHandled,  // one event was handled
};
// Takes at most one waiting event and hands it to the handlers below. The end of the run comes to
// the shell the same way, as HandleCloseRequested.
PumpResult PumpOneEvent();
// Sleeps until an event is waiting or the milliseconds have passed, whichever comes first.
void WaitForEvents(uint32_t milliseconds);

// --- Gamepads: open with the window, closed before it; polled before each frame ---
void OpenGamepads();
void CloseGamepads();  // the shell has let go of every pad's keys first
void PollGamepads();   // hands each open pad's state to HandlePadState, and each pad gone to HandlePadGone

// --- Time ---
// Milliseconds from an arbitrary start, wrapping at 2^32 like the Windows tick count.
uint32_t ReadTickCount();
// For the start-up figures only: the wall clock, and the process's start as the system records it,
// both in milliseconds since 1970 (the clock to the microsecond).
double ReadWallClockMs();
double ReadProcessStartMs();

// --- Settings store: the values in their stored form ---
// Fills in what the store holds; anything missing or unreadable is marked absent.
void ReadStoredSettings(StoredSettings* stored);
// Writes all the values so that the old ones stay whole if it fails; false with the reason in error.
bool WriteStoredSettings(const int32_t values[kStoredValueCount], char* error, size_t errorSize);
// Shows the settings dialog until the user ends it, through OpenSettingsDialog and
// ConfirmSettingsDialog below; false, having said why, if it cannot be shown.
bool RunSettingsDialog();

// --- Pictures ---
// The user's pictures folder, ending in the path separator; false when there is none to be had.
bool FindPicturesFolder(char* folder, size_t folderSize);
// Writes a PNG (rgb: height rows of width RGB pixels, top row first) at path; false with the reason.
bool WritePngFile(const char* path, const unsigned char* rgb, int width, int height, char* error, size_t errorSize);

// --- Network play: one WebSocket to a relay, text messages in order both ways ---
// Opens the connection to the relay at address; false with the reason in plain words when it cannot.
// In the page the handshake goes on after it returns, and its failure comes as HandleRelayClosed.
bool OpenRelaySocket(const RelayAddress& address, std::string& error);
// Sends one text message; after the connection has ended it does nothing.
void SendRelayText(const std::string& text);
// Hands every message that has arrived to HandleRelayText, in order, then the end of the connection,
// if it has ended, to HandleRelayClosed; when nothing has arrived, it waits up to seconds for
// something. In the page messages arrive as events: it only waits, the browser running meanwhile, and
// node's programs, which cannot wait, run from RunRelayLoop and pump with no wait.
void PumpRelaySocket(double seconds);
// Calls step, and pumps the socket between calls, until step says false. A program without a window
// runs its whole joined run in it; in the page and node it returns at once and the browser's loop
// goes on calling step, the program ending from it.
void RunRelayLoop(bool (*step)());
// Ends the connection, if there is one; nothing more is handed on.
void CloseRelaySocket();

// --- Overlay font ---
// Renders the overlay font's glyphs, codes kFontFirstChar on; none when no font can be had, so that
// text draws nothing. Called with the GL context current.
std::vector<FontGlyph> CreateBitmapFont();

// ===== What a backend calls =====

// --- The run ---
RunMode ChooseRunMode(const char* commandLine);
// A host window's id, decimal or hexadecimal with 0x, at most 32 bits; false for anything else or 0.
bool ReadWindowId(const char* text, unsigned long* id);
// The switches any run takes, wherever they stand among the words of a command line.
struct RunSwitches {
    std::string record;  // --record FILE: the run kept as a recording at its end
    std::string play;    // --play FILE: the run plays a recording or key script
    std::string join;    // --join LINK: the run is a seat in a room, one world with the room's machines
    std::vector<std::string> linkHosts;  // a relay of this machine's: the addresses others reach it by
    bool windowOpen = false;  // the run's window is up and drawn: the room's seat is taken at once, not
                              // watched for now (the page joins once its first frame is on screen)
};
// Takes the switches out of words. False with the reason for a switch without its value, one given
// twice, or --join with --play.
bool TakeRunSwitches(std::vector<std::string>& words, RunSwitches& switches, std::string& error);
// Readies the run about to start as the switches ask: the recording it plays, where it is kept, the
// room it joins (its log in within 10 s; a new room's link said on standard output). False, with
// "cannot play FILE: ..." or "cannot join LINK: ..." in error, before any window opens; or, with
// windowOpen, as the run goes on, which then goes into the room's world at its next frame.
bool StartRunSwitches(const RunSwitches& switches, std::string& error);
// Opens the preview window as a child of the host window at its client size. The settings are not
// read. False when the window could not be made (the user has been told why).
bool StartPreview(uintptr_t host, int width, int height);
// Loads the settings and opens the full-run window, fullscreen if the display allows.
bool StartFullRun();
// A layer run (Wayland): the stored settings as in a full run, the display mode left alone, the window
// one surface on every output, the quadrants cut from each surface's size.
bool StartLayerRun();
// XScreenSaver's window: the stored settings as in a full run, the quadrants cut from the window's
// size, and the display mode left alone; the autopilot and the steady pace as XScreenSaver's settings
// say. XScreenSaver itself watches the mouse.
bool StartXScreenSaverRun(uintptr_t window, int width, int height, bool autopilot, bool steadyPace);
// With the window open: builds the scene and the font, runs frames until the quit request or Escape,
// then takes everything down. Returns the exit status, 0.
int RunUntilQuit();

// A step of the start is done: with KELVARON_STARTUP_TIMES set, one line "kelvaron: start-up STEP MS"
// on standard error, MS from the launch: the time the variable holds, in seconds since 1970 as bash's
// $EPOCHREALTIME gives it, or with any other value the process's start. The steps in order: main and
// video (the window system is ready), noted by the backend; window (with its GL context), world, font
// and frame (the first one presented), noted by the shell. bench/startup-figures.sh reads them.
void NoteStartupStep(const char* step);

// A recording or key script (a run's commands, one a line) drives the run about to start from its
// first frame; a recording's run ends when all its frames have been played. False, with the file,
// line and reason in error, when it cannot be played; the run is then as it would have been.
bool LoadPlayback(const char* path, std::string& error);
// The run about to start is kept: when it ends, its commands go into a recording at path.
void RecordRunInto(const char* path);
// The cars' state after a frame as a key-script run traces it, the line the replay prints (without its
// newline): "frame N", then each car's chassis position and velocity, %.9g each.
void FormatCarsTrace(long frame, char* line, size_t lineSize);

// --- The settings dialog's decisions ---
// The fields as the dialog opens: the stored settings, or the defaults for what is not stored.
void OpenSettingsDialog(SettingsFields* fields);
// OK: takes the fields into the settings and stores them. True when the dialog may close; otherwise
// it stays open and message says why (a field to correct, or the store's refusal).
bool ConfirmSettingsDialog(const SettingsFields& fields, char* message, size_t messageSize);

// --- The window's reports ---
void HandleKeyDown(unsigned vk);
void HandleKeyUp(unsigned vk);
// The window lost the keyboard: no key-up will come for the keys held now.
void HandleFocusLost();
// The cursor moved; screenX and screenY are its position on the screen, not in the window.
void HandleMouseMoved(int screenX, int screenY);
void HandleResized(int width, int height);
// For a window whose drawing buffer follows the screen rather than the size the run asked for (the
// page's canvas, drawn at as many pixels as the screen shows it with): the buffer is now width x
// height pixels. From the next frame the quadrants are cut from it, pictures are read back at its
// size, and the overlay's glyphs are made again, so that the backend renders them at its new scale.
void HandleDrawingBufferResized(int width, int height);
void HandleMinimised(bool minimised);
void HandleCloseRequested();

// --- Gamepads ---
// An open pad's state, each poll. padId is the backend's own name for the pad, steady while it stays.
void HandlePadState(long padId, const PadState& state);
// The pad went away: every key it held comes up, and its car is free for the next pad.
void HandlePadGone(long padId);

// --- Network play ---
// One message from the relay.
void HandleRelayText(const std::string& text);
// The connection ended: the relay's reason, or what went wrong, in plain words.
void HandleRelayClosed(const std::string& reason);
// A shared run, joined by StartRunSwitches, as a backend shows it beside the run (the page, under its
// canvas).
struct SharedRunStatus {
    std::string room;  // the room's code, once the relay has let this machine in
    int seat;          // the car this machine drives, 0 to 2, or -1 for a spectator
    std::string line;  // the overlay's line for the run: the seat, ping and delay, a catch-up, a desync
                       // or why the room was left; empty until the room's world is built
    bool left;         // the room was left: its link may lead nowhere now
};
SharedRunStatus ReadSharedRunStatus();
