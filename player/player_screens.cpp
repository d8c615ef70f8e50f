// The further monitors' windows and threads, their page changes, their
// plug-in copies, and the input watch of every player thread.
#include "player/player_screens.h"

#include <cstdio>

#include "player/page_compose.h"
#include "shell/base/mem_block.h"
#include "shell/base/startup_state.h"
#include "show/show_document.h"
#include "transitions/plugin_host.h"

namespace {

enum { SCREEN_ENTER_MESSAGE = WM_APP + 22, SCREEN_START_MS = 10000, SCREEN_END_MS = 10000 };
// The key message that stops a screen's effect or fade: a key no keyboard
// sends, with a mark in the key data.
constexpr WPARAM STOP_KEY = VK_NONAME;
constexpr LPARAM STOP_KEY_DATA = 0x5C5C0001;
const char kScreenClass[] = "VormkitPlayerScreen";

struct PlayerScreen {
  HANDLE thread;
  DWORD threadId;
  HWND window;
  RECT monitor;
  HANDLE ready;    // set once the thread's window exists (or could not be made)
  HANDLE entered;  // manual reset: set while no entering paint is pending
  CRITICAL_SECTION lock;  // held while the view is drawn or prepared
  PageView view;
  Page *page;
  HMODULE *modules;                 // memory block: one plug-in copy per loaded plug-in
  TransitionFunctionPtr *functions; // memory block: their effect functions
  int32_t pluginCount;
};

struct ScreenSet {
  PlayerScreen *screens;  // memory block of count screens
  int32_t count;
  HWND saver;
  DWORD saverThread;
  HHOOK saverHook;
  volatile LONG watching;
};

ScreenSet Screens;

bool IsInputMessage(UINT message) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
      return true;
  }
  return false;
}

// Every message a player thread takes from its queue passes here; input is
// handed on to the saver window while play watches for it.
LRESULT CALLBACK InputHook(int code, WPARAM removal, LPARAM lParam) {
  if (code == HC_ACTION && removal == PM_REMOVE && Screens.watching && Screens.saver) {
    const MSG *msg = reinterpret_cast<const MSG *>(lParam);
    if (msg && IsInputMessage(msg->message) && !IsScreenStopKey(msg->message, msg->wParam, msg->lParam)) {
      POINT at = msg->pt;
      ScreenToClient(Screens.saver, &at);
      PostMessageA(Screens.saver, PLAYER_INPUT_MESSAGE, msg->message, MAKELPARAM(at.x, at.y));
    }
  }
  return CallNextHookEx(nullptr, code, removal, lParam);
}

// Waits for a handle while answering messages that other threads send to
// this one (a window of this thread may be asked something meanwhile).
void WaitAnswering(HANDLE handle, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  for (;;) {
    DWORD passed = GetTickCount() - start;
    if (passed >= milliseconds) return;
    DWORD woke = MsgWaitForMultipleObjects(1, &handle, FALSE, milliseconds - passed, QS_SENDMESSAGE);
    if (woke != WAIT_OBJECT_0 + 1) return;
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // delivers the sent messages
  }
}

PlayerScreen *ScreenOfWindow(HWND window) {
  for (int32_t i = 0; i < Screens.count; ++i)
    if (Screens.screens[i].window == window) return &Screens.screens[i];
  return nullptr;
}

LRESULT CALLBACK ScreenProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  PlayerScreen *screen = ScreenOfWindow(window);
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      if (screen) {
        EnterCriticalSection(&screen->lock);
        if (screen->page) PaintPageView(dc, screen->page, &screen->view);
        LeaveCriticalSection(&screen->lock);
      }
      EndPaint(window, &paint);
      return 0;
    }
    case SCREEN_ENTER_MESSAGE:
      if (screen) {
        EnterCriticalSection(&screen->lock);
        if (screen->page) {
          screen->view.entering = 1;
          HDC dc = GetDC(window);
          PaintPageView(dc, screen->page, &screen->view);
          ReleaseDC(window, dc);
        }
        LeaveCriticalSection(&screen->lock);
        SetEvent(screen->entered);
      }
      return 0;
    case WM_SETCURSOR:
      SetCursor(nullptr);
      return TRUE;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_KEYDOWN:
      return 0;  // input reaches the saver window through the watch
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

DWORD WINAPI ScreenThread(void *parameter) {
  PlayerScreen *screen = static_cast<PlayerScreen *>(parameter);
  const RECT &m = screen->monitor;
  HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kScreenClass, "", WS_POPUP,
                                m.left, m.top, m.right - m.left, m.bottom - m.top, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  HHOOK hook = window ? SetWindowsHookExA(WH_GETMESSAGE, InputHook, nullptr, GetCurrentThreadId()) : nullptr;
  screen->window = window;
  SetEvent(screen->ready);
  if (!window) return 0;
  ShowWindow(window, SW_SHOWNOACTIVATE);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  if (hook) UnhookWindowsHookEx(hook);
  return 0;
}

BOOL CALLBACK CollectMonitor(HMONITOR, HDC, LPRECT rect, LPARAM data) {
  RECT *saver = reinterpret_cast<RECT *>(data);
  RECT overlap;
  if (IntersectRect(&overlap, rect, saver)) return TRUE;  // the saver window's own monitor
  void *grown = MemRealloc(Screens.screens, size_t(Screens.count + 1) * sizeof(PlayerScreen));
  if (!grown) return FALSE;
  Screens.screens = static_cast<PlayerScreen *>(grown);
  PlayerScreen *screen = &Screens.screens[Screens.count++];
  *screen = PlayerScreen{};
  screen->monitor = *rect;
  return TRUE;
}

// The screen's own copy of every loaded plug-in, beside the original as
// "NAME.tns.N", so that effects on two screens never share a module.
void LoadPluginCopies(PlayerScreen *screen, int32_t number) {
  const int32_t count = TransitionPlugins.count;
  screen->modules = static_cast<HMODULE *>(MemAlloc(size_t(count) * sizeof(HMODULE)));
  screen->functions = static_cast<TransitionFunctionPtr *>(MemAlloc(size_t(count) * sizeof(TransitionFunctionPtr)));
  if (!screen->modules || !screen->functions) return;
  screen->pluginCount = count;
  for (int32_t i = 0; i < count; ++i) {
    char copy[PATH_SIZE + 16];
    snprintf(copy, sizeof copy, "%s.%d", TransitionPlugins.entries[i].path, int(number));
    if (!CopyFileA(TransitionPlugins.entries[i].path, copy, FALSE)) continue;
    screen->modules[i] = LoadLibraryA(copy);
    if (screen->modules[i])
      screen->functions[i] =
          reinterpret_cast<TransitionFunctionPtr>(GetProcAddress(screen->modules[i], "TransisionFunction"));
  }
}

void UnloadPluginCopies(PlayerScreen *screen, int32_t number) {
  for (int32_t i = 0; i < screen->pluginCount; ++i) {
    if (!screen->modules[i]) continue;
    FreeLibrary(screen->modules[i]);
    char copy[PATH_SIZE + 16];
    if (i < TransitionPlugins.count) {
      snprintf(copy, sizeof copy, "%s.%d", TransitionPlugins.entries[i].path, int(number));
      SetFileAttributesA(copy, FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(copy);
    }
  }
  MemFreePtr(screen->modules);
  MemFreePtr(screen->functions);
  screen->pluginCount = 0;
}

}  // namespace

int IsScreenStopKey(UINT message, WPARAM wParam, LPARAM lParam) {
  return message == WM_KEYDOWN && wParam == STOP_KEY && lParam == STOP_KEY_DATA;
}

int32_t PlayerScreenCount() { return Screens.count; }

int32_t OpenPlayerScreens(HWND saverWindow) {
  if (Screens.count > 0 || !saverWindow || Startup.smallWindow) return Screens.count;
  Screens.saver = saverWindow;
  Screens.saverThread = GetCurrentThreadId();
  RECT saver;
  if (!GetWindowRect(saverWindow, &saver)) return 0;
  EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&saver));
  if (Screens.count == 0) return 0;

  WNDCLASSA cls = {};
  cls.lpfnWndProc = ScreenProc;
  cls.hInstance = GetModuleHandleA(nullptr);
  cls.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  cls.lpszClassName = kScreenClass;
  RegisterClassA(&cls);
  int32_t opened = 0;
  for (int32_t i = 0; i < Screens.count; ++i) {
    PlayerScreen *screen = &Screens.screens[i];
    InitializeCriticalSection(&screen->lock);
    screen->view.firstPaint = 1;
    screen->ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    screen->entered = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    LoadPluginCopies(screen, i + 1);
    screen->thread = CreateThread(nullptr, 0, ScreenThread, screen, 0, &screen->threadId);
    if (screen->thread) WaitAnswering(screen->ready, SCREEN_START_MS);
    if (screen->window) ++opened;
  }
  return opened;
}

void ClosePlayerScreens() {
  for (int32_t i = 0; i < Screens.count; ++i) {
    PlayerScreen *screen = &Screens.screens[i];
    if (screen->window) {
      PostMessageA(screen->window, WM_KEYDOWN, STOP_KEY, STOP_KEY_DATA);
      PostMessageA(screen->window, WM_CLOSE, 0, 0);
    }
    if (screen->thread) {
      WaitAnswering(screen->thread, SCREEN_END_MS);
      CloseHandle(screen->thread);
    }
    FreePageViewLayers(&screen->view);
    UnloadPluginCopies(screen, i + 1);
    if (screen->ready) CloseHandle(screen->ready);
    if (screen->entered) CloseHandle(screen->entered);
    DeleteCriticalSection(&screen->lock);
  }
  MemFreePtr(Screens.screens);
  Screens.count = 0;
}

int PrepareScreens(Page *page, PageView *saverView) {
  int32_t pageWidth, pageHeight;
  ShowPageSize(Show.editorSettings, &pageWidth, &pageHeight);
  PageView *views[1 + 16];
  int32_t count = 0;
  views[count++] = saverView;
  for (int32_t i = 0; i < Screens.count && count < int32_t(sizeof views / sizeof *views); ++i) {
    PlayerScreen *screen = &Screens.screens[i];
    if (!screen->window) continue;
    EnterCriticalSection(&screen->lock);
    RECT client = {0, 0, screen->monitor.right - screen->monitor.left, screen->monitor.bottom - screen->monitor.top};
    SetPageView(&screen->view, screen->window, &client, pageWidth, pageHeight);
    screen->page = page;
    views[count++] = &screen->view;
  }
  int ok = PreparePageViews(page, views, count, nullptr);
  for (int32_t i = 0; i < Screens.count; ++i)
    if (Screens.screens[i].window) LeaveCriticalSection(&Screens.screens[i].lock);
  return ok;
}

void FreeScreenLayers() {
  for (int32_t i = 0; i < Screens.count; ++i) {
    PlayerScreen *screen = &Screens.screens[i];
    EnterCriticalSection(&screen->lock);
    FreePageViewLayers(&screen->view);
    screen->page = nullptr;
    LeaveCriticalSection(&screen->lock);
  }
}

void EnterPageOnScreens() {
  for (int32_t i = 0; i < Screens.count; ++i) {
    PlayerScreen *screen = &Screens.screens[i];
    if (!screen->window) continue;
    ResetEvent(screen->entered);
    if (!PostMessageA(screen->window, SCREEN_ENTER_MESSAGE, 0, 0)) SetEvent(screen->entered);
  }
}

void WaitForScreens() {
  bool stopped = false;
  for (int32_t i = 0; i < Screens.count; ++i) {
    PlayerScreen *screen = &Screens.screens[i];
    if (!screen->window) continue;
    for (;;) {
      DWORD mask = stopped ? QS_SENDMESSAGE : QS_SENDMESSAGE | QS_KEY | QS_MOUSEMOVE | QS_MOUSEBUTTON;
      DWORD woke = MsgWaitForMultipleObjects(1, &screen->entered, FALSE, INFINITE, mask);
      if (woke != WAIT_OBJECT_0 + 1) break;
      MSG msg;
      PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // delivers the sent messages
      if (!stopped && (PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE) ||
                       PeekMessageA(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE))) {
        StopEnteringOnAllScreens();
        stopped = true;
      }
    }
  }
}

void StopEnteringOnAllScreens() {
  if (Screens.count == 0) return;
  const DWORD self = GetCurrentThreadId();
  for (int32_t i = 0; i < Screens.count; ++i) {
    PlayerScreen *screen = &Screens.screens[i];
    if (screen->window && screen->threadId != self && WaitForSingleObject(screen->entered, 0) == WAIT_TIMEOUT)
      PostMessageA(screen->window, WM_KEYDOWN, STOP_KEY, STOP_KEY_DATA);
  }
  if (Screens.saverThread != self && Screens.saver) PostMessageA(Screens.saver, WM_KEYDOWN, STOP_KEY, STOP_KEY_DATA);
}

TransitionFunctionPtr ScreenTransitionFunction(int32_t pluginIndex) {
  if (pluginIndex < 0 || pluginIndex >= TransitionPlugins.count) return nullptr;
  const DWORD self = GetCurrentThreadId();
  for (int32_t i = 0; i < Screens.count; ++i) {
    const PlayerScreen &screen = Screens.screens[i];
    if (screen.threadId == self) return pluginIndex < screen.pluginCount ? screen.functions[pluginIndex] : nullptr;
  }
  return TransitionPlugins.entries[pluginIndex].transitionFunction;
}

void WatchPlayerInput(int on) {
  if (on && !Startup.smallWindow && Player.playerWindow) {
    Screens.saver = static_cast<HWND>(Player.playerWindow);
    Screens.saverThread = GetCurrentThreadId();
    if (!Screens.saverHook)
      Screens.saverHook = SetWindowsHookExA(WH_GETMESSAGE, InputHook, nullptr, GetCurrentThreadId());
    InterlockedExchange(&Screens.watching, 1);
    return;
  }
  InterlockedExchange(&Screens.watching, 0);
  if (Screens.saverHook) UnhookWindowsHookEx(Screens.saverHook);
  Screens.saverHook = nullptr;
}
