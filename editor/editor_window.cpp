// The main window: the page list on the left, the canvas in the middle with
// the music pane under it, and the page settings pane on the right; the
// recent files in the ファイル menu, the autosave timer, the menus, the title with the
// document's name and an unsaved mark, a splitter for the page list, and
// the window and pane sizes remembered between runs (the registry, under
// HKCU\Software\VORMKIT\Editor).
#include <windows.h>
#include <shellapi.h>

#include <algorithm>

#include "editor/document_files.h"
#include "editor/editor_commands.h"
#include "editor/editor_state.h"
#include "editor/editor_views.h"
#include "editor/recent_files.h"
#include "editor/recovery.h"
#include "editor/sound_files.h"
#include "editor/wide_messages.h"
#include "resources/editor_ids.h"

namespace {
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0  // Windows 8.1 and later
#endif
const wchar_t kClass[] = L"VormkitEditorWindow";
const wchar_t kSettingsKey[] = L"Software\\VORMKIT\\Editor";
bool splitting = false;

UINT WindowDpi(HWND window) {
  typedef UINT(WINAPI * DpiForWindow)(HWND);
  static DpiForWindow dpiForWindow =
      reinterpret_cast<DpiForWindow>(reinterpret_cast<void *>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (dpiForWindow && window) {
    UINT dpi = dpiForWindow(window);
    if (dpi) return dpi;
  }
  HDC dc = GetDC(nullptr);
  UINT dpi = UINT(GetDeviceCaps(dc, LOGPIXELSX));
  ReleaseDC(nullptr, dc);
  return dpi ? dpi : 96;
}

void MakeUiFont() {
  if (Editor.uiFont) DeleteObject(Editor.uiFont);
  Editor.uiFont = CreateFontW(-MulDiv(9, int(Editor.dpi), 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0,
                              CLEARTYPE_QUALITY, 0, L"ＭＳ Ｐゴシック");
}

DWORD ReadSetting(HKEY key, const wchar_t *name, DWORD fallback) {
  DWORD value = 0, size = sizeof value, type = 0;
  if (key && RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE *>(&value), &size) == ERROR_SUCCESS &&
      type == REG_DWORD)
    return value;
  return fallback;
}

void WriteSetting(HKEY key, const wchar_t *name, DWORD value) {
  RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value), sizeof value);
}

void SaveWindowPlacement(HWND window) {
  HKEY key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return;
  WINDOWPLACEMENT placement = {};
  placement.length = sizeof placement;
  GetWindowPlacement(window, &placement);
  const RECT &r = placement.rcNormalPosition;
  WriteSetting(key, L"Left", DWORD(r.left));
  WriteSetting(key, L"Top", DWORD(r.top));
  WriteSetting(key, L"Width", DWORD(r.right - r.left));
  WriteSetting(key, L"Height", DWORD(r.bottom - r.top));
  WriteSetting(key, L"Maximized", placement.showCmd == SW_SHOWMAXIMIZED);
  // Pane sizes at 96 dots per inch, so that they keep their look elsewhere.
  WriteSetting(key, L"PageListWidth", DWORD(MulDiv(Editor.pageListWidth, 96, int(Editor.dpi))));
  RegCloseKey(key);
}

int SplitterWidth() { return Scaled(5); }

LRESULT CALLBACK EditorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      Editor.window = window;
      Editor.dpi = WindowDpi(window);
      MakeUiFont();
      Editor.pageList = CreatePageList(window);
      Editor.canvas = CreateCanvas(window);
      Editor.settingsPane = CreateSettingsPane(window);
      Editor.musicPane = CreateMusicPane(window);
      if (!Editor.pageList || !Editor.canvas || !Editor.settingsPane || !Editor.musicPane) return -1;
      DragAcceptFiles(window, TRUE);
      StartAutosave(window);
      DocumentChanged(CHANGE_ALL);
      return 0;
    }
    case WM_SIZE:
      LayoutPanes();
      return 0;
    case WM_GETMINMAXINFO: {
      auto *info = reinterpret_cast<MINMAXINFO *>(lParam);
      info->ptMinTrackSize.x = Scaled(640);
      info->ptMinTrackSize.y = Scaled(480);
      return 0;
    }
    case WM_DPICHANGED: {
      Editor.pageListWidth = MulDiv(Editor.pageListWidth, HIWORD(wParam), int(Editor.dpi));
      Editor.dpi = HIWORD(wParam);
      MakeUiFont();
      const RECT *suggested = reinterpret_cast<const RECT *>(lParam);
      SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                   suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      DocumentChanged(CHANGE_ALL);
      return 0;
    }
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == window) {
        SetCursor(LoadCursor(nullptr, IDC_SIZEWE));
        return TRUE;
      }
      break;
    case WM_LBUTTONDOWN:
      splitting = true;
      SetCapture(window);
      return 0;
    case WM_MOUSEMOVE:
      if (splitting) {
        RECT client;
        GetClientRect(window, &client);
        int x = short(LOWORD(lParam));
        Editor.pageListWidth = x < Scaled(100) ? Scaled(100) : x > client.right / 2 ? client.right / 2 : x;
        LayoutPanes();
      }
      return 0;
    case WM_LBUTTONUP:
      if (splitting) {
        splitting = false;
        ReleaseCapture();
      }
      return 0;
    case WM_COMMAND:
      RunCommand(window, LOWORD(wParam));
      return 0;
    case WM_INITMENUPOPUP:
      UpdateMenus();
      return 0;
    case WM_DROPFILES: {
      // Dropped anywhere but the panes that take drops themselves: open it.
      HDROP drop = reinterpret_cast<HDROP>(wParam);
      wchar_t path[MAX_PATH * 4];
      if (DragQueryFileW(drop, 0, path, sizeof path / sizeof path[0])) {
        DragFinish(drop);
        OpenPath(path);
      } else {
        DragFinish(drop);
      }
      return 0;
    }
    case WM_CLOSE:
      if (AskToKeepChanges()) DestroyWindow(window);
      return 0;
    case WM_TIMER:
      if (wParam == AUTOSAVE_TIMER_ID) Autosave();
      return 0;
    case WM_DESTROY:
      KillTimer(window, AUTOSAVE_TIMER_ID);
      StopSound();
      SaveWindowPlacement(window);
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}
}  // namespace

int Scaled(int pixels) { return MulDiv(pixels, int(Editor.dpi ? Editor.dpi : 96), 96); }

int RegisterEditorWindow(HINSTANCE instance) {
  WNDCLASSEXW c = {};
  c.cbSize = sizeof c;
  c.lpfnWndProc = EditorProc;
  c.hInstance = instance;
  c.hCursor = LoadCursor(nullptr, IDC_ARROW);
  c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  c.lpszMenuName = MAKEINTRESOURCEW(IDR_EDITOR_MENU);
  c.lpszClassName = kClass;
  c.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
  return RegisterClassExW(&c) != 0;
}

HWND CreateEditorWindow(HINSTANCE instance, int show) {
  HKEY key = nullptr;
  RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key);
  int x = int(ReadSetting(key, L"Left", DWORD(CW_USEDEFAULT)));
  int y = int(ReadSetting(key, L"Top", DWORD(CW_USEDEFAULT)));
  int w = int(ReadSetting(key, L"Width", DWORD(CW_USEDEFAULT)));
  int h = int(ReadSetting(key, L"Height", DWORD(CW_USEDEFAULT)));
  bool maximized = ReadSetting(key, L"Maximized", 0) != 0;
  DWORD listWidth = ReadSetting(key, L"PageListWidth", 200);
  if (key) RegCloseKey(key);
  // A remembered place that no monitor shows any more is forgotten.
  if (x != CW_USEDEFAULT) {
    RECT r = {x, y, x + w, y + h};
    if (w < 200 || h < 150 || !MonitorFromRect(&r, MONITOR_DEFAULTTONULL)) x = y = w = h = CW_USEDEFAULT;
  }
  // The monitor the editor starts on gives a new show its page size.
  POINT at = {x == CW_USEDEFAULT ? 0 : x + w / 2, y == CW_USEDEFAULT ? 0 : y + h / 2};
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromPoint(at, MONITOR_DEFAULTTOPRIMARY), &monitor);
  Editor.screenWidth = monitor.rcMonitor.right - monitor.rcMonitor.left;
  Editor.screenHeight = monitor.rcMonitor.bottom - monitor.rcMonitor.top;
  Editor.dpi = WindowDpi(nullptr);
  Editor.pageListWidth = MulDiv(int(listWidth), int(Editor.dpi), 96);
  NewShow();
  HWND window = CreateWindowExW(0, kClass, L"VORMKIT", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, x, y, w, h, nullptr,
                                nullptr, instance, nullptr);
  if (!window) return nullptr;
  UpdateRecentMenu();
  ShowWindow(window, maximized ? SW_SHOWMAXIMIZED : show);
  UpdateWindow(window);
  return window;
}

void LayoutPanes() {
  if (!Editor.window || !Editor.pageList) return;
  RECT client;
  GetClientRect(Editor.window, &client);
  RECT pane;
  GetWindowRect(Editor.settingsPane, &pane);
  int settings = pane.right - pane.left;
  int music = std::min<int>(MusicPaneHeight(), int(client.bottom) / 2);
  int list = Editor.pageListWidth;
  int canvasLeft = list + SplitterWidth();
  int canvasWidth = client.right - canvasLeft - settings;
  if (canvasWidth < 1) canvasWidth = 1;
  MoveWindow(Editor.pageList, 0, 0, list, client.bottom, TRUE);
  // The music pane is a strip under the canvas, as wide as the canvas.
  MoveWindow(Editor.canvas, canvasLeft, 0, canvasWidth, client.bottom - music, TRUE);
  MoveWindow(Editor.musicPane, canvasLeft, client.bottom - music, canvasWidth, music, TRUE);
  MoveWindow(Editor.settingsPane, canvasLeft + canvasWidth, 0, settings, client.bottom, TRUE);
}

void FocusNextPane(int forward) {
  HWND panes[4] = {Editor.pageList, Editor.canvas, Editor.musicPane, Editor.settingsPane};
  HWND focus = GetFocus();
  int current = -1;
  for (int k = 0; k < 4; ++k)
    if (focus == panes[k] || IsChild(panes[k], focus)) current = k;
  int next = current < 0 ? 0 : (current + (forward ? 1 : 3)) % 4;
  if (next >= 2) {
    HWND first = GetNextDlgTabItem(panes[next], nullptr, FALSE);
    SetFocus(first ? first : panes[next]);
  } else {
    SetFocus(panes[next]);
  }
}

void UpdateTitle() {
  if (!Editor.window) return;
  std::wstring name = Editor.documentPath.empty() ? LoadWide(IDS_UNTITLED) : Editor.documentPath;
  size_t slash = name.find_last_of(L"\\/");
  if (slash != std::wstring::npos) name = name.substr(slash + 1);
  std::wstring title = (Editor.modified ? L"*" : L"") + name + L" - " + LoadWide(IDS_EDITOR_TITLE);
  SetWindowTextW(Editor.window, title.c_str());
}

void UpdateMenus() {
  HMENU menu = Editor.window ? GetMenu(Editor.window) : nullptr;
  if (!menu) return;
  static const int ids[] = {IDM_SAVE, IDM_UNDO, IDM_REDO, IDM_CUT, IDM_COPY, IDM_PASTE, IDM_DELETE, IDM_EDIT_TEXT,
                            IDM_TURN_RIGHT, IDM_TURN_LEFT, IDM_MIRROR, IDM_FLIP, IDM_SHADOW, IDM_FORWARD, IDM_BACK,
                            IDM_PAGE_DELETE, IDM_PAGE_EARLIER, IDM_PAGE_LATER, IDM_TRANSITION_SETTINGS,
                            IDM_TRANSITION_PREVIEW, IDM_VOICE_PLAY, IDM_VOICE_REMOVE};
  for (int id : ids) EnableMenuItem(menu, UINT(id), MF_BYCOMMAND | (CommandEnabled(id) ? MF_ENABLED : MF_GRAYED));
  int32_t grid = GridSpacing(Show.editorSettings);
  for (int k = 0; k < GRID_SPACING_COUNT; ++k)
    CheckMenuItem(menu, UINT(IDM_GRID_NONE + k), MF_BYCOMMAND | (GRID_SPACINGS[k] == grid ? MF_CHECKED : MF_UNCHECKED));
  Page *page = CurrentShowPage();
  bool shadow = page && Editor.selection.kind == ITEM_PICTURE && page->pictures[Editor.selection.index].shadow;
  CheckMenuItem(menu, IDM_SHADOW, MF_BYCOMMAND | (shadow ? MF_CHECKED : MF_UNCHECKED));
}
