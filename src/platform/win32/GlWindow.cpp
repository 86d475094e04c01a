// The render window with its OpenGL context: registered, sized, fullscreen or not, and taken down.
#include <GL/gl.h>

#include "platform/Platform.h"
#include "platform/win32/Win32Backend.h"

HWND gHwnd;
HDC gHdc;
HGLRC gHglrc;
HINSTANCE gHinstance;
HWND gHostWindow;

// Double-buffered RGBA with a 16-bit depth buffer; the colour depth is filled in per request.
static const PIXELFORMATDESCRIPTOR kPixelFormat = {
    sizeof(PIXELFORMATDESCRIPTOR), 1, PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER,
    PFD_TYPE_RGBA, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 16, 0, 0, PFD_MAIN_PLANE, 0, 0, 0, 0};

static bool FailCreation(const char* text)
{
    DestroyRenderWindow();
    ShowMessage("ERROR", text, MessageKind::kWarning);
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

bool SetFullscreenMode(int width, int height, int bits)
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

void RestoreDisplayMode()
{
    ChangeDisplaySettingsA(nullptr, 0);
    ShowCursor(TRUE);
}

static bool CreateGlWindow(const char* title, int width, int height, int bits, bool fullscreen, DWORD style,
                           HWND parent)
{
    RECT rect = {0, 0, width, height};
    gHinstance = GetModuleHandleA(nullptr);
    if (!RegisterWindowClass()) {
        ShowMessage("ERROR", "Failed To Register The Window Class.", MessageKind::kWarning);
        return false;
    }
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
    ShowWindow(gHwnd, SW_SHOW);
    SetForegroundWindow(gHwnd);
    SetFocus(gHwnd);
    return true;
}

bool CreateRenderWindow(const char* title, int width, int height, int bits, bool fullscreen, uintptr_t parent)
{
    gHostWindow = reinterpret_cast<HWND>(parent);
    if (gHostWindow)
        WatchPreviewHost();
    DWORD style = parent ? WS_CHILD : WS_OVERLAPPEDWINDOW;
    return CreateGlWindow(title, width, height, bits, fullscreen, style, gHostWindow);
}

static void ReportShutdownError(const char* text)
{
    ShowMessage("SHUTDOWN ERROR", text, MessageKind::kInformation);
}

void DestroyRenderWindow()
{
    // The host watcher is ending the process already; two endings at once can leave it stuck.
    if (!ClaimTeardown())
        Sleep(INFINITE);
    if (gHglrc) {
        if (!wglMakeCurrent(nullptr, nullptr))
            ReportShutdownError("Release Of DC And RC Failed.");
        if (!wglDeleteContext(gHglrc))
            ReportShutdownError("Release Rendering Context Failed.");
        gHglrc = nullptr;
    }
    // A preview window goes with its host, or with the process: it is left alone. Destroying it here
    // while the host destroys it too could stall inside DestroyWindow under Wine (1 closing host in
    // 150) until the watcher ended the process; and a message box nobody asked for would keep the
    // process alive.
    bool windowLives = gHwnd && IsWindow(gHwnd) && !gHostWindow;
    if (gHdc && windowLives && !ReleaseDC(gHwnd, gHdc)) {
        ReportShutdownError("Release Device Context Failed.");
        gHdc = nullptr;
    }
    if (windowLives && !DestroyWindow(gHwnd)) {
        ReportShutdownError("Could Not Release hWnd.");
        gHwnd = nullptr;
    }
    // A window gone with its host can still hold the class for a while (under Wine, when the host
    // destroyed it rather than died); the class goes with the process.
    if (!UnregisterClassA("OpenGL", gHinstance) && windowLives) {
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
