// The shared shell against the null backend: modes, start-up, the frame loop and the teardown.
#include <doctest/doctest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "SceneHelpers.h"
#include "app/Frame.h"
#include "app/Commands.h"
#include "app/Input.h"
#include "input/Keyboard.h"
#include "app/RunState.h"
#include "app/Settings.h"
#include "app/Shell.h"
#include "app/WindowEvents.h"
#include "app/OverlayFont.h"
#include "gl/Text.h"
#include "physics/Car.h"
#include "physics/OdeMessages.h"
#include "physics/Step.h"
#include "platform/Platform.h"
#include "platform/null/NullPlatform.h"
#include "platform/offscreen/Offscreen.h"
#include "render/Primitives.h"

// Key vk goes down once frames frames have been presented, as a person presses it.
static void PressAfter(long frames, unsigned vk)
{
    KeyboardState keyboard = {};
    Command command;
    REQUIRE(TranslateKey(keyboard, vk, true, frames + 1, &command));
    QueueCommand(command);
}

static bool Called(const char* call)
{
    return std::find(gNull.calls.begin(), gNull.calls.end(), call) != gNull.calls.end();
}

TEST_CASE("the second character of the command line picks the mode")
{
    CHECK(ChooseRunMode("/p 1234") == RunMode::kPreview);
    CHECK(ChooseRunMode("-P 1") == RunMode::kPreview);
    CHECK(ChooseRunMode("/s") == RunMode::kFullRun);
    CHECK(ChooseRunMode("/S") == RunMode::kFullRun);
    CHECK(ChooseRunMode("/c:1234") == RunMode::kSettingsDialog);
    CHECK(ChooseRunMode("/c") == RunMode::kSettingsDialog);
    CHECK(ChooseRunMode("/") == RunMode::kSettingsDialog);
    CHECK(ChooseRunMode("") == RunMode::kSettingsDialog);
    CHECK(ChooseRunMode(nullptr) == RunMode::kSettingsDialog);
}

TEST_CASE("a full run opens at the stored size, or 640 x 480 x 16 when nothing is stored")
{
    StartFreshProcess();
    REQUIRE(StartFullRun());
    CHECK(gNull.window.title == "Start");
    CHECK(gNull.window.width == 640);
    CHECK(gNull.window.height == 480);
    CHECK(gNull.window.bits == 16);
    CHECK(gNull.window.fullscreen);
    CHECK(gNull.window.parent == 0);
    CHECK(gDesiredFps == 30);
    CHECK(!gPreview);
    DestroyRenderWindow();

    StartFreshProcess();
    gNull.store.values[1] = 800;
    gNull.store.present[1] = true;
    gNull.store.values[3] = 60;
    gNull.store.present[3] = true;
    REQUIRE(StartFullRun());
    CHECK(gNull.window.width == 800);
    CHECK(gNull.window.height == 480);
    CHECK(gDesiredFps == 60);
    DestroyRenderWindow();
}

TEST_CASE("a preview fills the host window and reads no settings")
{
    StartFreshProcess();
    gNull.store.values[1] = 800;
    gNull.store.present[1] = true;
    REQUIRE(StartPreview(0x2a00007, 152, 112));
    CHECK(gNull.window.title == "Kelvaron");
    CHECK(gNull.window.parent == 0x2a00007);
    CHECK(gNull.window.width == 152);
    CHECK(gNull.window.bits == 32);
    CHECK(!gNull.window.fullscreen);
    CHECK(!gFullscreen);
    CHECK(gPreview);
    CHECK(gSettings.screenWidth == 640);
    DestroyRenderWindow();
}

// Where the call stands among the backend calls so far; -1 when it was not made.
static long PlaceOf(const std::string& call)
{
    auto found = std::find(gNull.calls.begin(), gNull.calls.end(), call);
    return found == gNull.calls.end() ? -1 : long(found - gNull.calls.begin());
}

static long CountMessages()
{
    return long(std::count_if(gNull.calls.begin(), gNull.calls.end(),
                              [](const std::string& call) { return call.rfind("ShowMessage", 0) == 0; }));
}

TEST_CASE("opening the window: the class before the mode, and the desktop back before a failure's box")
{
    // The window system refuses the class: said before the display mode was touched.
    StartFreshProcess();
    gNull.prepareFailure = WindowFailure::kRegisterClass;
    CHECK(!StartFullRun());
    CHECK(PlaceOf("ShowMessage ERROR: Failed To Register The Window Class.") > PlaceOf("PrepareRenderWindow"));
    CHECK(PlaceOf("SetFullscreenMode") == -1);
    CHECK(PlaceOf("CreateRenderWindow") == -1);

    // The window fails after the mode changed: the mode and cursor come back first, then what was
    // made goes (a box of its teardown shows on the desktop), and only then the box.
    StartFreshProcess();
    gNull.windowFailure = WindowFailure::kCreateContext;
    CHECK(!StartFullRun());
    CHECK(PlaceOf("PrepareRenderWindow") < PlaceOf("SetFullscreenMode"));
    CHECK(PlaceOf("SetFullscreenMode") < PlaceOf("CreateRenderWindow"));
    CHECK(PlaceOf("RestoreDisplayMode") > PlaceOf("CreateRenderWindow"));
    CHECK(PlaceOf("DestroyRenderWindow") > PlaceOf("RestoreDisplayMode"));
    CHECK(PlaceOf("ShowMessage ERROR: Can't Create A GL Rendering Context.") > PlaceOf("DestroyRenderWindow"));
    CHECK(CountMessages() == 1);

    // The mode cannot be had and the user says No: the program closes, with nothing to give back.
    StartFreshProcess();
    gNull.modeFails = true;
    gNull.answer = Answer::kNo;
    CHECK(!StartFullRun());
    CHECK(PlaceOf("AskQuestion GL") > PlaceOf("SetFullscreenMode"));
    CHECK(PlaceOf("ShowMessage ERROR: Program Will Now Close.") > PlaceOf("AskQuestion GL"));
    CHECK(PlaceOf("CreateRenderWindow") == -1);
    CHECK(PlaceOf("RestoreDisplayMode") == -1);

    // Yes: a window at the settings' size, and no mode for the teardown to give back.
    StartFreshProcess();
    gNull.modeFails = true;
    gNull.answer = Answer::kYes;
    REQUIRE(StartFullRun());
    CHECK(!gNull.window.fullscreen);
    CHECK(gNull.window.width == 640);
    CHECK(!gFullscreen);
    DestroyRenderWindow();

    // Yes, and then the window fails: no mode was changed, so none is given back; the box is said.
    StartFreshProcess();
    gNull.modeFails = true;
    gNull.answer = Answer::kYes;
    gNull.windowFailure = WindowFailure::kCreateWindow;
    CHECK(!StartFullRun());
    CHECK(PlaceOf("RestoreDisplayMode") == -1);
    CHECK(PlaceOf("ShowMessage ERROR: Window Creation Error.") > PlaceOf("DestroyRenderWindow"));
}

TEST_CASE("a preview whose window cannot be made says so as a full run does, unless its host went")
{
    StartFreshProcess();
    gNull.windowFailure = WindowFailure::kChoosePixelFormat;
    CHECK(!StartPreview(0x2a00007, 152, 112));
    CHECK(PlaceOf("ShowMessage ERROR: Can't Find A Suitable PixelFormat.") > PlaceOf("DestroyRenderWindow"));
    CHECK(PlaceOf("SetFullscreenMode") == -1);
    CHECK(PlaceOf("RestoreDisplayMode") == -1);

    // Its host closing while the window was made is the preview's end, not a failure to report.
    StartFreshProcess();
    gNull.windowFailure = WindowFailure::kHostGone;
    CHECK(!StartPreview(0x2a00007, 152, 112));
    CHECK(CountMessages() == 0);
}

static bool gFontAtWindowEnd;

static void NoteFontAtWindowEnd(const char* call)
{
    if (std::string(call) == "DestroyRenderWindow")
        gFontAtWindowEnd = !gFontGlyphs.empty();
}

TEST_CASE("the run: keys drive, Escape ends it, and the teardown runs in order")
{
    StartFreshProcess();
    REQUIRE(StartFullRun());
    PressAfter(100, kVkUp);
    PressAfter(300, kVkEscape);
    gFontAtWindowEnd = true;
    gNull.frameWatcher = NoteFontAtWindowEnd;
    CHECK(RunUntilQuit() == 0);
    // Nothing of the frame Escape came for runs.
    CHECK(gNull.framesPresented == 300);
    CHECK(gSim.frame == 300);
    // The font went while its context was current, before the window; the world after it.
    CHECK(Called("DestroyRenderWindow"));
    CHECK(!gFontAtWindowEnd);
    CHECK(gFontGlyphs.empty());
    CHECK(gSim.scene.cars[0].chassis.body == nullptr);
    CHECK(!gNull.window.exists);
}

// What the shared code had done by each of the frame's calls into the backend.
struct FrameMoment {
    std::string call;
    float speedTarget;     // car 0's, set by the driving controls
    dVector3 chassis;      // car 0's position, moved by the step
    std::vector<GLubyte> pixels;
};
static std::vector<FrameMoment> gMoments;

static std::vector<GLubyte> ReadFrame()
{
    std::vector<GLubyte> pixels(640 * 480 * 4);
    glReadPixels(0, 0, 640, 480, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

static void NoteMoment(const char* call)
{
    const dReal* p = dBodyGetPosition(gSim.scene.cars[0].chassis.body);
    gMoments.push_back({call, gSim.targets.speed[0], {p[0], p[1], p[2], 0}, ReadFrame()});
}

TEST_CASE("a frame: driving controls, statistics, step, drawing, and then the frame is shown")
{
    StartFreshProcess();
    REQUIRE(StartFullRun());
    BuildRunWorld();
    HandleKeyDown(kVkUp);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const std::vector<GLubyte> blank = ReadFrame();
    const dReal* p = dBodyGetPosition(gSim.scene.cars[0].chassis.body);
    const dVector3 before = {p[0], p[1], p[2], 0};
    gMoments.clear();
    gNull.frameWatcher = NoteMoment;
    REQUIRE(RunFrame());
    gNull.frameWatcher = nullptr;

    REQUIRE(gMoments.size() == 2);
    const FrameMoment& stats = gMoments[0];
    const FrameMoment& shown = gMoments[1];
    CHECK(stats.call == "ReadTickCount");
    CHECK(stats.speedTarget == 5);  // the controls came first
    CHECK(std::equal(before, before + 3, stats.chassis));  // the step not yet
    CHECK(stats.pixels == blank);  // nor the drawing
    CHECK(shown.call == "PresentFrame");
    CHECK(!std::equal(before, before + 3, shown.chassis));
    CHECK(shown.pixels != blank);
    // Drawn after the step: the scene as it stands now draws the very frame that was shown.
    RenderFrame(ReadFrameView());
    CHECK(ReadFrame() == shown.pixels);
    DestroySimWorld();
    DestroyRenderWindow();
}

TEST_CASE("XScreenSaver's window: stored settings, the quadrants of the window's size, no display mode")
{
    StartFreshProcess();
    gNull.store.values[3] = 60;
    gNull.store.present[3] = true;
    REQUIRE(StartXScreenSaverRun(0x3c00001, 1024, 768, true, false));
    CHECK(gNull.window.parent == 0x3c00001);
    CHECK(gNull.window.width == 1024);
    CHECK(!gNull.window.fullscreen);
    CHECK(!gFullscreen);
    CHECK(gPreview);
    CHECK(gSettings.screenWidth == 1024);
    CHECK(gSettings.screenHeight == 768);
    CHECK(gDesiredFps == 60);
    CHECK(gSettings.autopilot);
    CHECK(!gSettings.steadyPace);
    DestroyRenderWindow();
}

TEST_CASE("a layer run: stored settings, no display mode, every surface drawn at its size, the mouse ends it")
{
    StartFreshProcess();
    gNull.store.values[1] = 1024;  // screenWidth: the surfaces' sizes count, not this
    gNull.store.present[1] = true;
    gNull.surfaces = {{800, 600}, {320, 200}};
    REQUIRE(StartLayerRun());
    CHECK(!Called("SetFullscreenMode"));
    CHECK(!gFullscreen);
    CHECK(!gPreview);
    CHECK(gNull.window.parent == 0);
    CHECK(gSettings.screenWidth == 1024);
    BuildRunWorld();
    HandleKeyDown(kVkScreenshot);
    gNull.calls.clear();
    REQUIRE(RunFrame());
    CHECK(gNull.calls == std::vector<std::string>{"SelectRenderSurface 0", "SelectRenderSurface 1"});
    CHECK(gNull.framesPresented == 1);
    // The picture is the first surface's, taken before the second was drawn over the same buffer.
    CHECK(gNull.pictureWidth == 800);
    CHECK(gNull.pictureHeight == 600);
    CHECK(ReadFrameView().width == 320);  // the quadrants of the surface last drawn
    CHECK(ReadFrameView().height == 200);
    // The second surface's frame, cleared over the whole buffer, lies within its own 320 x 200.
    const std::vector<GLubyte> pixels = ReadFrame();
    int inside = 0, outside = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const GLubyte* p = &pixels[(size_t(y) * 640 + size_t(x)) * 4];
            (x < 320 && y < 200 ? inside : outside) += p[0] + p[1] + p[2] > 0;
        }
    CHECK(inside > 1000);
    CHECK(outside == 0);
    HandleMouseMoved(100, 100);
    HandleMouseMoved(145, 100);
    CHECK(gQuitRequested);
    DestroySimWorld();
    DestroyRenderWindow();
}

TEST_CASE("with the steady pace, frames come at the desired rate and the run sleeps between them")
{
    StartFreshProcess();
    REQUIRE(StartFullRun());
    PressAfter(90, kVkEscape);
    CHECK(RunUntilQuit() == 0);
    CHECK(gNull.waits == 0);  // back to back, as ever, unless asked
    CHECK(gNull.tickCount == 0);

    StartFreshProcess();
    gNull.store.values[7] = 1;  // steadyPace
    gNull.store.present[7] = true;
    REQUIRE(StartFullRun());
    PressAfter(90, kVkEscape);
    CHECK(RunUntilQuit() == 0);
    CHECK(gNull.framesPresented == 90);
    // 90 frames at 30 per second: three seconds on the clock, all of it slept.
    CHECK(gNull.tickCount >= 2990);
    CHECK(gNull.tickCount <= 3100);
    CHECK(gNull.waits >= 90);
}

TEST_CASE("the next run's context draws the wheels and the ball: the sphere mesh went with the last one")
{
    StartFreshProcess();
    REQUIRE(StartFullRun());
    PressAfter(0, kVkEscape);
    CHECK(RunUntilQuit() == 0);

    StartFreshProcess();
    REQUIRE(StartFullRun());
    BuildRunWorld();
    RenderFrame(ReadFrameView());
    const std::vector<GLubyte> drawn = ReadFrame();
    DeleteSphereList();  // compiled afresh in this context
    RenderFrame(ReadFrameView());
    CHECK(ReadFrame() == drawn);
    DeleteSphereList();
    DestroyRenderWindow();
    DestroySimWorld();
}

TEST_CASE("keys held when the window loses the focus are let go: the car stops")
{
    StartFreshProcess();
    REQUIRE(StartFullRun());
    BuildRunWorld();
    HandleKeyDown(kVkUp);
    HandleKeyDown(kVkSpace);
    for (int i = 0; i < 5; ++i)
        RunFrame();
    CHECK(gSim.targets.speed[0] == 0);  // the space bar holds the car
    HandleKeyUp(kVkSpace);
    RunFrame();
    CHECK(gSim.targets.speed[0] > 0);
    HandleKeyDown(kVkSpace);
    HandleFocusLost();
    RunFrame();
    CHECK(!HeldControl(kVkUp));
    CHECK(!HeldControl(kVkSpace));
    // The space bar's hub torque went with its key.
    CHECK(dJointGetHingeParam(gSim.scene.cars[0].leftHubHinge, dParamFMax) == 0);
    CHECK(gSim.targets.speed[0] == 0);
    // A key that comes up after all is nothing new.
    HandleKeyUp(kVkUp);
    RunFrame();
    CHECK(!HeldControl(kVkUp));
    DestroyRenderWindow();
    DestroySimWorld();
}

TEST_CASE("closing the window ends the run before its next frame")
{
    StartFreshProcess();
    REQUIRE(StartFullRun());
    gNull.frameWatcher = [](const char* call) {
        if (!std::strcmp(call, "PresentFrame") && gNull.framesPresented == 4)
            HandleCloseRequested();  // as the fifth frame is shown
    };
    CHECK(RunUntilQuit() == 0);
    CHECK(gNull.framesPresented == 5);
    CHECK(gSim.frame == 5);
}

TEST_CASE("while minimised the simulation steps and nothing is drawn")
{
    StartFreshProcess();
    REQUIRE(StartFullRun());
    BuildRunWorld();
    HandleMinimised(true);
    double plateZ = dBodyGetPosition(gSim.scene.plate.body)[2];
    for (int i = 0; i < 20; ++i)
        CHECK(RunFrame());
    CHECK(dBodyGetPosition(gSim.scene.plate.body)[2] < plateZ);
    CHECK(gNull.framesPresented == 20);
    CHECK(CountPixels(0, 0, 640, 480, [](Rgb c) { return !IsBlack(c); }) == 0);
    HandleMinimised(false);
    RunFrame();
    CHECK(CountPixels(0, 0, 640, 480, [](Rgb c) { return !IsBlack(c); }) > 1000);
    DestroySimWorld();
    DestroyRenderWindow();
}

TEST_CASE("mouse motion: 44 pixels from the reference are tolerated, 45 end a full run")
{
    StartFreshProcess();
    REQUIRE(StartFullRun());
    LoadOverlayFont();
    HandleMouseMoved(300, 200);  // the reference
    HandleMouseMoved(344, 200);
    HandleMouseMoved(300, 156);
    HandleMouseMoved(256, 244);
    CHECK(!gQuitRequested);
    // Creeping away moves no reference.
    for (int x = 310; x <= 340; x += 10)
        HandleMouseMoved(x, 200);
    CHECK(!gQuitRequested);
    CHECK(!gFontGlyphs.empty());
    HandleMouseMoved(345, 200);
    CHECK(gQuitRequested);
    CHECK(gFontGlyphs.empty());
    // The next motion takes a new reference.
    CHECK(gMouseMoveCount == 1);
    StartCommands();
    HandleMouseMoved(900, 900);
    HandleMouseMoved(930, 930);
    CHECK(!gQuitRequested);
    DestroyRenderWindow();
}

TEST_CASE("in a preview no mouse motion ends the run; the text goes, the check re-arms")
{
    StartFreshProcess();
    REQUIRE(StartPreview(42, 160, 120));
    LoadOverlayFont();
    HandleMouseMoved(10, 10);
    HandleMouseMoved(500, 10);
    CHECK(!gQuitRequested);
    CHECK(gFontGlyphs.empty());
    CHECK(gMouseMoveCount == 1);
    DestroyRenderWindow();
}

TEST_CASE("resizing sets the viewport and projection for the new size")
{
    StartFreshProcess();
    REQUIRE(StartFullRun());
    HandleResized(320, 200);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    CHECK(viewport[2] == 320);
    CHECK(viewport[3] == 200);
    DestroyRenderWindow();
}

TEST_CASE("P pauses: the views keep drawing a still scene, N steps one frame, C and Escape still work")
{
    StartFreshProcess();
    REQUIRE(StartFullRun());
    BuildRunWorld();
    for (int i = 0; i < 5; ++i)
        RunFrame();
    auto plateZ = [] { return dBodyGetPosition(gSim.scene.plate.body)[2]; };
    HandleKeyDown(kVkPause);
    HandleKeyDown(kVkPause);  // a held key's repeat does not toggle it back
    HandleKeyUp(kVkPause);
    CHECK(!gSim.paused);  // not before its frame
    const dReal still = plateZ();
    glClear(GL_COLOR_BUFFER_BIT);
    REQUIRE(RunFrame());
    REQUIRE(gSim.paused);
    CHECK(plateZ() == still);
    CHECK(CountPixels(0, 0, 640, 480, [](Rgb c) { return !IsBlack(c); }) > 10000);
    HandleKeyDown(kVkCamera);
    HandleKeyDown(kVkCamera);  // the camera key's repeat goes on cycling
    RunFrame();
    CHECK(gCameraMode == 3);

    HandleKeyDown(kVkStep);
    HandleKeyUp(kVkStep);
    RunFrame();
    const dReal stepped = plateZ();
    CHECK(stepped < still);
    RunFrame();
    CHECK(plateZ() == stepped);  // exactly one

    HandleKeyDown(kVkPause);
    HandleKeyUp(kVkPause);
    RunFrame();
    CHECK(plateZ() < stepped);
    HandleKeyDown(kVkPause);
    HandleKeyDown(kVkEscape);
    CHECK(!RunFrame());
    DestroyRenderWindow();
    DestroySimWorld();
}

TEST_CASE("F12 saves the frame just drawn, as it was drawn, and the title says where")
{
    StartFreshProcess();
    REQUIRE(StartFullRun());
    BuildRunWorld();
    RunFrame();
    HandleKeyDown(kVkScreenshot);
    RunFrame();
    REQUIRE(gNull.pictureWidth == 640);
    REQUIRE(gNull.pictureHeight == 480);
    REQUIRE(gNull.picture.size() == 640u * 480u * 3u);
    // The picture's rows run top down, GL's bottom up.
    int lit = 0;
    for (int y = 0; y < 480; y += 7)
        for (int x = 0; x < 640; x += 5) {
            Rgb drawn = ReadPixel(x, y);
            const unsigned char* saved = &gNull.picture[(size_t(479 - y) * 640 + size_t(x)) * 3];
            CHECK((saved[0] == drawn.r && saved[1] == drawn.g && saved[2] == drawn.b));
            lit += !IsBlack(drawn);
        }
    CHECK(lit > 100);
    CHECK(std::string(gNull.windowTitle) == "Saved " + gNull.picturePath);
    CHECK(gNull.picturePath.find("kelvaron-") != std::string::npos);
    gNull.picture.clear();
    RunFrame();
    CHECK(gNull.picture.empty());  // once a press
    DestroyRenderWindow();
    DestroySimWorld();
}

// ODE's solver says "LCP internal error" now and then and goes on; here it is made to say it twice
// during a run, while standard error goes to a file.
static void SayLcpProblem(const char* call)
{
    if (std::string(call) == "PresentFrame" && gNull.framesPresented < 2)
        dMessage(3, "LCP internal error, s <= %d", 0);
}

static std::string ReadWholeFile(std::FILE* file)
{
    std::string text;
    std::rewind(file);
    for (int c; (c = std::fgetc(file)) != EOF;)
        text += char(c);
    return text;
}

TEST_CASE("ODE's messages are counted during the run and said once at its end, in plain words")
{
    StartFreshProcess();
    REQUIRE(StartFullRun());
    PressAfter(5, kVkEscape);
    gNull.frameWatcher = SayLcpProblem;
    std::fflush(stderr);
    std::FILE* captured = std::tmpfile();
    REQUIRE(captured);
    const int savedStderr = dup(2);
    dup2(fileno(captured), 2);
    CHECK(RunUntilQuit() == 0);
    std::fflush(stderr);
    dup2(savedStderr, 2);
    close(savedStderr);
    const std::string said = ReadWholeFile(captured);
    std::fclose(captured);
    CAPTURE(said);
    CHECK(said.find("\nODE Message") == std::string::npos);
    CHECK(said.rfind("ODE Message", 0) != 0);
    CHECK(said.find("contact solver met 2 problems it could not solve exactly (the first: \"ODE Message 3: "
                    "LCP internal error, s <= 0\")") != std::string::npos);
    CHECK(CountOdeMessages() == 2);
}
