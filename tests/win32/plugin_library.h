// Test helpers for the real plug-in files: a .tns loaded from beside the test
// program as the player loads it, and the open parameter dialog found from a
// second thread while GetTransisionParams runs its modal loop.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

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
// after ten seconds. The window exists before it is filled; a sent message is
// handled only once the dialog's thread waits for messages again.
inline HWND WaitForParamsDialog() {
  HWND dialog = nullptr;
  for (int i = 0; i < 500 && !dialog; ++i) {
    dialog = FindWindowA("#32770", PARAMS_DIALOG_CAPTION);
    if (!dialog) Sleep(20);
  }
  if (dialog) SendMessageA(dialog, WM_NULL, 0, 0);
  return dialog;
}

// Calls GetTransisionParams(params) while `drive` works the dialog from a
// second thread; drive presses OK or Cancel itself.
inline int RunParamsDialog(PluginLibrary &lib, TransitionParams *params, std::function<void(HWND)> drive) {
  auto thread = [](void *job) -> DWORD {
    HWND dialog = WaitForParamsDialog();
    if (dialog) (*static_cast<std::function<void(HWND)> *>(job))(dialog);
    return dialog != nullptr;
  };
  HANDLE worker = CreateThread(nullptr, 0, thread, &drive, 0, nullptr);
  int result = lib.Get("GetTransisionParams")(params);
  WaitForSingleObject(worker, 20000);
  CloseHandle(worker);
  return result;
}

// "ウェイト：" followed by a number, in the program's code page.
inline std::string WaitCaption(int position) {
  return std::string("\x83\x45\x83\x46\x83\x43\x83\x67\x81\x46") + std::to_string(position);
}
