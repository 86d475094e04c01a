#include "app/RunState.h"

#include "app/Commands.h"
#include "app/FrameStats.h"
#include "input/Pads.h"
#include "app/Input.h"
#include "input/Keyboard.h"
#include "record/Playback.h"
#include "app/Settings.h"
#include "net/SharedRun.h"
#include "app/WindowEvents.h"
#include "sim/Simulation.h"

bool gPreview;
bool gFullscreen;
float gDesiredFps = 30.0f;
bool gViewFollowsWindow;

void NoteRenderWindow(bool inHost, bool modeChanged)
{
    gPreview = inHost;
    gFullscreen = modeChanged;
}

void StartRunInput()
{
    ResetSimulation();
    StartCommands();
    ResetKeyboard();
    ResetInput();
    ResetPads();
}

void NoteDesiredFps(float fps)
{
    gDesiredFps = fps;
}

void NoteViewFollowsWindow(bool follows)
{
    gViewFollowsWindow = follows;
}

void ResetRunState()
{
    NoteRenderWindow(false, false);
    NoteDesiredFps(30.0f);
    ResetWindowEvents();
    NoteViewFollowsWindow(false);
    ResetSettings();
    StartRunInput();
    ResetPlayback();
    ResetSharedRun();
    ResetFrameStats();
}
