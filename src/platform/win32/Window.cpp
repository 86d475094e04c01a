// The render window with its OpenGL context: registered, sized, fullscreen or not, and taken down.
#include <GL/gl.h>

#include "platform/Platform.h"
#include "platform/win32/Win32Backend.h"

Win32Backend gWin32;

// Double-buffered RGBA with a 16-bit depth buffer; the colour depth is filled in per request.
static const PIXELFORMATDESCRIPTOR kPixelFormat = {
    sizeof(PIXELFORMATDESCRIPTOR), 1, PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER,
    PFD_TYPE_RGBA, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 16, 0, 0, PFD_MAIN_PLANE, 0, 0, 0, 0};

// A host gone meanwhile is why the window could not be made, whatever the step that noticed.
static WindowFailure FailCreation(WindowFailure failure)
{
    return gWin32.hostWindow && !IsWindow(gWin32.hostWindow) ? WindowFailure::kHostGone : failure;
}

WindowFailure PrepareRenderWindow()
{
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    wc.lpfnWndProc = MainWindowProc;
    wc.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32517));  // IDI_WINLOGO
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    wc.lpszClassName = "OpenGL";
    gWin32.hinstance = GetModuleHandleA(nullptr);
    wc.hInstance = gWin32.hinstance;
    if (!RegisterClassA(&wc))
        return WindowFailure::kRegisterClass;
    NoteStartupStep("video");
    return WindowFailure::kNone;
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

static WindowFailure CreateGlWindow(const char* title, int width, int height, int bits, bool fullscreen,
                                    DWORD style, HWND parent)
{
    RECT rect = {0, 0, width, height};
    DWORD exStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
    if (fullscreen) {
        exStyle = WS_EX_APPWINDOW;
        style = WS_POPUP;
        ShowCursor(FALSE);
    }
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    gWin32.hwnd = CreateWindowExA(exStyle, "OpenGL", title, style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                            rect.right - rect.left, rect.bottom - rect.top, parent, nullptr, gWin32.hinstance, nullptr);
    if (!gWin32.hwnd)
        return FailCreation(WindowFailure::kCreateWindow);
    if (!(gWin32.hdc = GetDC(gWin32.hwnd)))
        return FailCreation(WindowFailure::kDeviceContext);
    PIXELFORMATDESCRIPTOR pfd = kPixelFormat;
    pfd.cColorBits = BYTE(bits);
    int format = ChoosePixelFormat(gWin32.hdc, &pfd);
    if (!format)
        return FailCreation(WindowFailure::kChoosePixelFormat);
    if (!SetPixelFormat(gWin32.hdc, format, &pfd))
        return FailCreation(WindowFailure::kSetPixelFormat);
    if (!(gWin32.hglrc = wglCreateContext(gWin32.hdc)))
        return FailCreation(WindowFailure::kCreateContext);
    if (!wglMakeCurrent(gWin32.hdc, gWin32.hglrc))
        return FailCreation(WindowFailure::kActivateContext);
    gWin32.windowMade = true;
    ShowWindow(gWin32.hwnd, SW_SHOW);
    SetForegroundWindow(gWin32.hwnd);
    SetFocus(gWin32.hwnd);
    return WindowFailure::kNone;
}

WindowFailure CreateRenderWindow(const char* title, int width, int height, int bits, bool fullscreen,
                                 uintptr_t parent)
{
    gWin32.hostWindow = reinterpret_cast<HWND>(parent);
    if (gWin32.hostWindow)
        WatchPreviewHost();
    DWORD style = parent ? WS_CHILD : WS_OVERLAPPEDWINDOW;
    return CreateGlWindow(title, width, height, bits, fullscreen, style, gWin32.hostWindow);
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
    gWin32.windowMade = false;  // the window's going from here on is the teardown's, not a reason to quit
    if (gWin32.hglrc) {
        if (!wglMakeCurrent(nullptr, nullptr))
            ReportShutdownError("Release Of DC And RC Failed.");
        if (!wglDeleteContext(gWin32.hglrc))
            ReportShutdownError("Release Rendering Context Failed.");
        gWin32.hglrc = nullptr;
    }
    // A window someone else destroyed, a preview's with its host most often, is left alone: under
    // Wine, destroying it here while the host still destroys it could stall inside DestroyWindow (1
    // closing host in 150) until the watcher ended the process. A host killed outright sends no
    // WM_DESTROY, so the host is asked too. Nothing is left to release then, and a message box nobody
    // asked for would keep the process alive.
    const bool hostGone = gWin32.hostWindow && (!IsWindow(gWin32.hostWindow) || gWin32.windowTakenAway);
    const bool windowLives = gWin32.hwnd && IsWindow(gWin32.hwnd) && !gWin32.windowTakenAway && !hostGone;
    if (gWin32.hdc && windowLives && !ReleaseDC(gWin32.hwnd, gWin32.hdc)) {
        ReportShutdownError("Release Device Context Failed.");
        gWin32.hdc = nullptr;
    }
    if (windowLives && !DestroyWindow(gWin32.hwnd)) {
        ReportShutdownError("Could Not Release hWnd.");
        gWin32.hwnd = nullptr;
    }
    // A window gone with its host can still hold the class for a while (under Wine, when the host
    // destroyed it rather than died); the class goes with the process.
    if (!UnregisterClassA("OpenGL", gWin32.hinstance) && !hostGone) {
        ReportShutdownError("Could Not Unregister Class.");
        gWin32.hinstance = nullptr;
    }
}

void SetRenderWindowTitle(const char* title)
{
    SetWindowTextA(gWin32.hwnd, title);
}

// The window is the one surface, always current.
bool SelectRenderSurface(int index)
{
    return index == 0;
}

void PresentFrame()
{
    SwapBuffers(gWin32.hdc);
}
