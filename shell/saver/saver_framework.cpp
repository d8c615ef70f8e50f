// The screen-saver framework: reads the command line, shows the settings
// dialog or creates the saver window (full screen or preview child), and runs
// the message loop.
#include "shell/saver/saver_framework.h"

#include <cstdlib>

#include "shell/saver/saver_command.h"

SaverFramework Framework;

static const char kSaverClass[] = "WindowsScreenSaverClass";

static bool OwnWindow(HWND other) {
  DWORD process = 0;
  return other && GetWindowThreadProcessId(other, &process) && process == GetCurrentProcessId();
}

LRESULT WINAPI DefScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!Framework.childPreview) {
    switch (message) {
      case WM_SETCURSOR:
        SetCursor(nullptr);
        return TRUE;
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
      case WM_XBUTTONDOWN:
        PostMessageA(window, WM_CLOSE, 0, 0);
        break;
      case WM_MOUSEMOVE: {
        POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (!Framework.mouseKnown) {
          Framework.mouseStart = at;
          Framework.mouseKnown = TRUE;
        } else if (abs(at.x - Framework.mouseStart.x) > SAVER_MOUSE_THRESHOLD ||
                   abs(at.y - Framework.mouseStart.y) > SAVER_MOUSE_THRESHOLD) {
          PostMessageA(window, WM_CLOSE, 0, 0);
        }
        break;
      }
      case WM_ACTIVATEAPP:
        if (!wParam) PostMessageA(window, WM_CLOSE, 0, 0);
        break;
      case WM_ACTIVATE:
        // Another program taking over ends the show; one of our own windows
        // (the hidden media players) does not.
        if (LOWORD(wParam) == WA_INACTIVE && !OwnWindow(reinterpret_cast<HWND>(lParam)))
          PostMessageA(window, WM_CLOSE, 0, 0);
        break;
      case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_SCREENSAVE || (wParam & 0xFFF0) == SC_CLOSE) return FALSE;
        break;
    }
  }
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(window, message, wParam, lParam);
}

static int RunWindow(HWND parent) {
  WNDCLASSA cls = {};
  cls.style = CS_HREDRAW | CS_VREDRAW | CS_SAVEBITS | CS_DBLCLKS;
  cls.lpfnWndProc = ScreenSaverProc;
  cls.hInstance = Framework.instance;
  cls.hIcon = LoadIconA(Framework.instance, MAKEINTRESOURCEA(1));
  cls.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  cls.lpszClassName = kSaverClass;
  if (!RegisterClassA(&cls)) return -1;

  HWND window;
  if (parent) {
    RECT client;
    GetClientRect(parent, &client);
    Framework.childPreview = TRUE;
    window = CreateWindowExA(0, kSaverClass, "Preview", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, client.right,
                             client.bottom, parent, nullptr, Framework.instance, nullptr);
  } else {
    // The saver window covers the primary monitor; the player gives every
    // other monitor a window of its own.
    int x = 0, y = 0, w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    const POINT origin = {0, 0};
    if (GetMonitorInfoA(MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
      x = monitor.rcMonitor.left;
      y = monitor.rcMonitor.top;
      w = monitor.rcMonitor.right - monitor.rcMonitor.left;
      h = monitor.rcMonitor.bottom - monitor.rcMonitor.top;
    }
    window = CreateWindowExA(WS_EX_TOPMOST, kSaverClass, "Screen Saver", WS_POPUP | WS_VISIBLE, x, y, w, h, nullptr,
                             nullptr, Framework.instance, nullptr);
  }
  if (!window) return -1;
  Framework.window = window;
  if (!parent) SetForegroundWindow(window);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

static int RunConfiguration(HWND owner) {
  if (!RegisterDialogClasses(Framework.instance)) return -1;
  return static_cast<int>(DialogBoxParamA(Framework.instance, MAKEINTRESOURCEA(DLG_SCRNSAVECONFIGURE), owner,
                                          reinterpret_cast<DLGPROC>(ScreenSaverConfigureDialog), 0));
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  Framework.instance = instance;
  SaverCommand command = ParseSaverCommand(SkipProgramPath(GetCommandLineA()));
  HWND given = reinterpret_cast<HWND>(command.window);
  switch (command.action) {
    case SAVER_CONFIGURE:
      return RunConfiguration(command.noOwner ? nullptr : given ? given : GetForegroundWindow());
    case SAVER_RUN:
      if (HWND existing = FindWindowA(kSaverClass, "Screen Saver")) {
        SetForegroundWindow(existing);
        return 0;
      }
      return RunWindow(nullptr);
    case SAVER_PREVIEW:
      if (!IsWindow(given)) return -1;
      return RunWindow(given);
    case SAVER_PASSWORD:  // the Windows 9x password exists on no system this runs on
    case SAVER_INVALID:
      break;
  }
  return -1;
}
