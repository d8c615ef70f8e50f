// Helpers for the Windows tests of an effect: hooks that record the blits,
// sleeps and frames an effect draws (and can post input at a chosen frame),
// and a script that works the open parameter dialog.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/win32/plugin_library.h"
#include "transitions/effect_frame.h"

struct RecordedBlit {
  int x, y, w, h, sx, sy, sw, sh;
};

struct EffectRecord {
  std::vector<RecordedBlit> blits;
  std::vector<DWORD> sleeps;
  int frames = 0;
  int postAtFrame = -1;  // frame after which postMessage is posted to postWindow
  HWND postWindow = nullptr;
  UINT postMessage = 0;
};
inline EffectRecord effectRecord;

inline BOOL WINAPI RecordStretchBlt(HDC dc, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                                    DWORD rop) {
  effectRecord.blits.push_back({x, y, w, h, sx, sy, sw, sh});
  return StretchBlt(dc, x, y, w, h, src, sx, sy, sw, sh, rop);
}
inline void WINAPI RecordSleep(DWORD ms) { effectRecord.sleeps.push_back(ms); }
inline void RecordFrame(int frame) {
  ++effectRecord.frames;
  if (frame == effectRecord.postAtFrame) PostMessageA(effectRecord.postWindow, effectRecord.postMessage, 0, 0);
}

// Installs the recording hooks for one test and empties the message queue.
struct EffectRecording {
  EffectDrawing saved = EffectDraw;
  EffectRecording() {
    effectRecord = EffectRecord{};
    EffectDraw.stretchBlt = RecordStretchBlt;
    EffectDraw.sleep = RecordSleep;
    EffectDraw.frameDone = RecordFrame;
    Drain();
  }
  ~EffectRecording() { EffectDraw = saved; }
  static void Drain() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
};

// Works the dialog "パラメータの設定" once it is open: records the caption of
// the speed group box, the scroll position and the checked buttons among
// `watch`, scrolls, clicks buttons, then presses OK (or Cancel).
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
    char caption[64] = {};
    GetDlgItemTextA(dialog, 1001, caption, sizeof caption);
    script->caption = caption;
    script->position = GetScrollPos(GetDlgItem(dialog, 1000), SB_CTL);
    for (int id : script->watch)
      if (IsDlgButtonChecked(dialog, id) == BST_CHECKED) script->checked.push_back(id);
    for (int i = 0; i < script->pageRights; ++i)
      SendMessageA(dialog, WM_HSCROLL, SB_PAGERIGHT, reinterpret_cast<LPARAM>(GetDlgItem(dialog, 1000)));
    for (int id : script->clicks) SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0);
    for (int id : script->uncheck) CheckDlgButton(dialog, id, BST_UNCHECKED);
    SendMessageA(dialog, WM_COMMAND, script->cancel ? IDCANCEL : IDOK, 0);
  });
}
