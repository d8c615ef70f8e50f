// Test helpers for the real plug-in files: a .tns loaded from beside the test
// program as the player loads it, the open parameter dialog found from a
// second thread while GetTransisionParams runs its modal loop, and small
// scripts that work that dialog.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "shell/path_ops.h"
#include "transitions/transition_params.h"

struct PluginLibrary {
  HMODULE module;
  explicit PluginLibrary(const char *fileName) {
    char self[PATH_SIZE];
    GetModuleFileNameA(nullptr, self, PATH_SIZE);
    std::string path = self;
    path = path.substr(0, path.rfind('\\') + 1) + fileName;
    module = LoadLibraryA(path.c_str());
  }
  ~PluginLibrary() {
    if (module) FreeLibrary(module);
  }
  PluginLibrary(const PluginLibrary &) = delete;
  PluginLibrary &operator=(const PluginLibrary &) = delete;

  template <typename F = TransitionFunctionPtr>
  F Get(const char *name) {
    return reinterpret_cast<F>(reinterpret_cast<void *>(GetProcAddress(module, name)));
  }
  std::string Name() {
    char name[TRANSITION_NAME_SIZE] = {};
    Get<TransitionNamePtr>("GetTransisionName")(name);
    return name;
  }
};

// "パラメータの設定" in code page 932.
const char PARAMS_DIALOG_CAPTION[] = "\x83\x70\x83\x89\x83\x81\x81\x5b\x83\x5e\x82\xcc\x90\xdd\x92\xe8";

// The parameter dialog of this process once its WM_INITDIALOG has run, or null
// after a minute (a generous deadline: a loaded machine may take seconds to
// show it). The window exists before it is filled; a sent message is handled
// only once the dialog's thread waits for messages again.
inline HWND WaitForParamsDialog() {
  HWND dialog = nullptr;
  for (int i = 0; i < 3000 && !dialog; ++i) {
    dialog = FindWindowA("#32770", PARAMS_DIALOG_CAPTION);
    if (!dialog) Sleep(20);
  }
  if (dialog) SendMessageA(dialog, WM_NULL, 0, 0);
  return dialog;
}

// Calls GetTransisionParams(params) while `drive` works the dialog from a
// second thread; drive presses OK or Cancel itself.
inline DWORD WINAPI DriveParamsDialog(void *job) {
  HWND dialog = WaitForParamsDialog();
  if (dialog) (*static_cast<std::function<void(HWND)> *>(job))(dialog);
  return dialog != nullptr;
}

inline int RunParamsDialog(PluginLibrary &lib, TransitionParams *params, std::function<void(HWND)> drive) {
  HANDLE worker = CreateThread(nullptr, 0, DriveParamsDialog, &drive, 0, nullptr);
  int result = lib.Get("GetTransisionParams")(params);
  // The dialog ended (the worker closed it, or it never opened and the worker
  // gives up at its deadline): the worker finishes soon, and `drive` must
  // outlive it.
  WaitForSingleObject(worker, INFINITE);
  CloseHandle(worker);
  return result;
}

// "ウェイト：" followed by a number, in the program's code page.
inline std::string WaitCaption(int position) {
  return std::string("\x83\x45\x83\x46\x83\x43\x83\x67\x81\x46") + std::to_string(position);
}

inline std::string ItemText(HWND dialog, int id) {
  char text[256] = {};
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

// Moves the speed scroll bar (1000) right by `times` pages.
inline void PageRight(HWND dialog, int times) {
  for (int i = 0; i < times; ++i)
    SendMessageA(dialog, WM_HSCROLL, SB_PAGERIGHT, reinterpret_cast<LPARAM>(GetDlgItem(dialog, 1000)));
}

// Presses OK; true when the dialog stayed open.
inline bool PressOkStaysOpen(HWND dialog) {
  SendMessageA(dialog, WM_COMMAND, IDOK, 0);
  return IsWindowVisible(dialog) != 0;
}

// Runs GetTransisionParams while `script` works its dialog from a second
// thread; a dialog the script left open is cancelled.
inline int RunDialog(PluginLibrary &lib, TransitionParams *params, std::function<void(HWND)> script) {
  return RunParamsDialog(lib, params, [&script](HWND dialog) {
    script(dialog);
    if (IsWindowVisible(dialog)) SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  });
}

// Works the dialog once it is open: records the caption of the speed group
// box, the scroll position and the checked buttons among `watch`, scrolls,
// clicks buttons, then presses OK (or Cancel).
struct ParamsDialogScript {
  std::vector<int> watch;      // button ids whose state is recorded on opening
  std::vector<int> checked;    // the watched ids that were checked
  int pageRights = 0;
  std::vector<int> clicks;     // buttons clicked before closing
  std::vector<int> uncheck;    // buttons set unchecked before closing
  bool cancel = false;
  std::string caption;
  int position = -1;
  bool opened = false;
};

inline int RunParamsDialogScript(PluginLibrary &lib, TransitionParams *params, ParamsDialogScript *script) {
  return RunParamsDialog(lib, params, [script](HWND dialog) {
    script->opened = true;
    script->caption = ItemText(dialog, 1001);
    script->position = GetScrollPos(GetDlgItem(dialog, 1000), SB_CTL);
    for (int id : script->watch)
      if (IsDlgButtonChecked(dialog, id) == BST_CHECKED) script->checked.push_back(id);
    PageRight(dialog, script->pageRights);
    for (int id : script->clicks) SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0);
    for (int id : script->uncheck) CheckDlgButton(dialog, id, BST_UNCHECKED);
    SendMessageA(dialog, WM_COMMAND, script->cancel ? IDCANCEL : IDOK, 0);
  });
}
