// The editor's entry: set-up, the command line (a file or folder to open),
// the message loop with the accelerators and the moves between panes.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include "editor/document_files.h"
#include "raster/dib.h"
#include "editor/editor_plugins.h"
#include "editor/editor_state.h"
#include "editor/editor_trace.h"
#include "editor/editor_views.h"
#include "editor/recovery.h"
#include "resources/editor_ids.h"
#include "shell/base/mem_block.h"
#include "shell/base/startup_state.h"

namespace {
std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH * 4];
  DWORD n = GetModuleFileNameW(nullptr, path, sizeof path / sizeof path[0]);
  std::wstring folder(path, n);
  size_t slash = folder.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash + 1);
}

// Keys that an edit control uses itself are not the editor's accelerators
// while it has the focus.
bool LeaveToControl(const MSG &msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  wchar_t name[16] = {};
  GetClassNameW(GetFocus(), name, 16);
  if (lstrcmpiW(name, L"Edit") != 0) return false;
  bool control = GetKeyState(VK_CONTROL) < 0;
  switch (msg.wParam) {
    case VK_DELETE: case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: return true;
    case 'Z': case 'Y': case 'X': case 'C': case 'V': return control;
    default: return false;
  }
}
}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  Editor.instance = instance;
  Editor.programFolder = ProgramFolder();
  Editor.selection = {ITEM_NONE, -1};
  StartHistory(&Editor.history, DEFAULT_UNDO_LEVELS, DEFAULT_UNDO_BYTES);
  // The show loader and the password dialog read their resources and owner
  // here; the composition draws drop shadows with the tiles.
  Startup.instance = instance;
  for (int k = 0; k < SHADOW_COUNT; ++k) Startup.shadowImages[k] = DibFromResource(instance, SHADOW_TILE_NAMES[k]);

  OleInitialize(nullptr);  // the folder dialog
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  LoadEditorPlugins();

  if (!RegisterEditorWindow(instance) || !RegisterPageList(instance) || !RegisterCanvas(instance)) return 1;
  HWND window = CreateEditorWindow(instance, show);
  if (!window) return 1;
  Startup.mainWindow = window;
  // A show restored from its autosave may still need the temp folder of the
  // editor that ended; stale temp folders go after that.
  OfferRecovery(window);
  RemoveStaleTempFolders();

  int argc = 0;
  wchar_t **argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv && argc > 1) OpenPath(argv[1]);
  LocalFree(argv);
  UpdateWindow(window);
  TraceEvent("shown", Show.pages.pageCount);

  HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_EDITOR_ACCEL));
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && GetKeyState(VK_CONTROL) >= 0) {
      HWND focus = GetFocus();
      if (focus == Editor.pageList || focus == Editor.canvas) {
        FocusNextPane(GetKeyState(VK_SHIFT) >= 0);
        continue;
      }
    }
    if (!LeaveToControl(msg) && GetAncestor(msg.hwnd, GA_ROOT) == window &&
        TranslateAcceleratorW(window, accelerators, &msg))
      continue;
    if (Editor.settingsPane && IsDialogMessageW(Editor.settingsPane, &msg)) continue;
    if (Editor.musicPane && IsDialogMessageW(Editor.musicPane, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  ShutPageList();
  RemoveRecovery();
  RemoveEditorTempFolder();
  UnloadEditorPlugins();
  ClearHistory(&Editor.history);
  for (void *&tile : Startup.shadowImages) MemFree(&tile);
  return 0;
}
