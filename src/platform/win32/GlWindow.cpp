// The render window with its OpenGL context: registered, sized, fullscreen or not, and taken down.
#include <GL/gl.h>

#include "gl/GlState.h"
#include "platform/Platform.h"
#include "platform/win32/Win32Backend.h"

HWND gHwnd;
HDC gHdc;
HGLRC gHglrc;
HINSTANCE gHinstance;
static bool gModeChanged;  // the display mode is to be given back

// Double-buffered RGBA with a 16-bit depth buffer; the colour depth is filled in per request.
static const PIXELFORMATDESCRIPTOR kPixelFormat = {
    sizeof(PIXELFORMATDESCRIPTOR), 1, PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER,
    PFD_TYPE_RGBA, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 16, 0, 0, PFD_MAIN_PLANE, 0, 0, 0, 0};

static bool FailCreation(const char* text)
{
    DestroyRenderWindow();
    MessageBoxA(nullptr, text, "ERROR", MB_OK | MB_ICONEXCLAMATION);
    return false;
}

static bool RegisterWindowClass()
{
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = gHinstance;
    wc.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32517));  // IDI_WINLOGO
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    wc.lpszClassName = "OpenGL";
    return RegisterClassA(&wc) != 0;
}

static bool SwitchDisplayMode(int width, int height, int bits)
{
    DEVMODEA mode;
    ZeroMemory(&mode, sizeof mode);
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = DWORD(width);
    mode.dmPelsHeight = DWORD(height);
    mode.dmBitsPerPel = DWORD(bits);
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    return ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL;
}

static bool CreateGlWindow(const char* title, int width, int height, int bits, bool fullscreen, DWORD style,
                           HWND parent)
{
    RECT rect = {0, 0, width, height};
    gHinstance = GetModuleHandleA(nullptr);
    if (!RegisterWindowClass()) {
        MessageBoxA(nullptr, "Failed To Register The Window Class.", "ERROR", MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (fullscreen && !SwitchDisplayMode(width, height, bits)) {
        if (MessageBoxA(nullptr,
                        "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode Instead?",
                        "GL", MB_YESNO | MB_ICONEXCLAMATION) != IDYES) {
            MessageBoxA(nullptr, "Program Will Now Close.", "ERROR", MB_OK | MB_ICONSTOP);
            return false;
        }
        fullscreen = false;
    }
    gModeChanged = fullscreen;
    NoteStartupStep("video");
    DWORD exStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
    if (fullscreen) {
        exStyle = WS_EX_APPWINDOW;
        style = WS_POPUP;
        ShowCursor(FALSE);
    }
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    gHwnd = CreateWindowExA(exStyle, "OpenGL", title, style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                            rect.right - rect.left, rect.bottom - rect.top, parent, nullptr, gHinstance, nullptr);
    if (!gHwnd)
        return FailCreation("Window Creation Error.");
    if (!(gHdc = GetDC(gHwnd)))
        return FailCreation("Can't Create A GL Device Context.");
    PIXELFORMATDESCRIPTOR pfd = kPixelFormat;
    pfd.cColorBits = BYTE(bits);
    int format = ChoosePixelFormat(gHdc, &pfd);
    if (!format)
        return FailCreation("Can't Find A Suitable PixelFormat.");
    if (!SetPixelFormat(gHdc, format, &pfd))
        return FailCreation("Can't Set The PixelFormat.");
    if (!(gHglrc = wglCreateContext(gHdc)))
        return FailCreation("Can't Create A GL Rendering Context.");
    if (!wglMakeCurrent(gHdc, gHglrc))
        return FailCreation("Can't Activate The GL Rendering Context.");
    StartGamepads();
    ShowWindow(gHwnd, SW_SHOW);
    if (!parent)
        CoverOtherMonitors(gHwnd);
    SetForegroundWindow(gHwnd);
    SetFocus(gHwnd);
    ResizeViewport(width, height);
    InitRenderState();
    return true;
}

bool CreateRenderWindow(const char* title, int width, int height, int bits, bool fullscreen, uintptr_t parent,
                        bool* modeChanged)
{
    DWORD style = parent ? WS_CHILD : WS_OVERLAPPEDWINDOW;
    bool created = CreateGlWindow(title, width, height, bits, fullscreen, style, reinterpret_cast<HWND>(parent));
    *modeChanged = created && gModeChanged;
    return created;
}

static void ReportShutdownError(const char* text)
{
    MessageBoxA(nullptr, text, "SHUTDOWN ERROR", MB_OK | MB_ICONINFORMATION);
}

void DestroyRenderWindow()
{
    UncoverMonitors();
    StopGamepads();
    if (gModeChanged) {
        ChangeDisplaySettingsA(nullptr, 0);
        ShowCursor(TRUE);
        gModeChanged = false;
    }
    if (gHglrc) {
        if (!wglMakeCurrent(nullptr, nullptr))
            ReportShutdownError("Release Of DC And RC Failed.");
        if (!wglDeleteContext(gHglrc))
            ReportShutdownError("Release Rendering Context Failed.");
        gHglrc = nullptr;
    }
    // A preview window goes with its host: then there is nothing left to release, and a message box
    // nobody asked for would keep the process alive.
    bool windowLives = gHwnd && IsWindow(gHwnd);
    if (gHdc && windowLives && !ReleaseDC(gHwnd, gHdc)) {
        ReportShutdownError("Release Device Context Failed.");
        gHdc = nullptr;
    }
    if (windowLives && !DestroyWindow(gHwnd)) {
        ReportShutdownError("Could Not Release hWnd.");
        gHwnd = nullptr;
    }
    if (!UnregisterClassA("OpenGL", gHinstance)) {
        ReportShutdownError("Could Not Unregister Class.");
        gHinstance = nullptr;
    }
}

void SetRenderWindowTitle(const char* title)
{
    SetWindowTextA(gHwnd, title);
}

void PresentFrame()
{
    SwapBuffers(gHdc);
}
