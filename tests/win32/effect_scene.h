// Test helpers shared by the effect tests: a scene (a memory surface, a
// window whose client rectangle the effect reads, a picture and a filled
// parameter block), hooks that record the effect's blits and frames, the
// real plug-in library, and a thread that drives its parameter dialog.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "shell/mem_block.h"
#include "shell/path_ops.h"
#include "tests/win32/plugin_library.h"
#include "tests/win32/test_surface.h"
#include "transitions/effect_frame.h"

namespace effect_test {

struct BlitCall {
  HDC dest;
  int x, y, w, h;
  HDC src;
  int sx, sy;
};

// Installs recording hooks for one test: every BitBlt/StretchBlt onto the
// window goes into `blits`, sleeps are skipped, and `onFrame` (if set) runs
// after each frame. Drains the message queue first.
struct Recording {
  static Recording *current;
  EffectDrawing saved = EffectDraw;
  std::vector<BlitCall> blits;
  int frames = 0;
  std::function<void(int)> onFrame;

  static BOOL WINAPI Blt(HDC d, int x, int y, int w, int h, HDC s, int sx, int sy, DWORD rop) {
    current->blits.push_back({d, x, y, w, h, s, sx, sy});
    return BitBlt(d, x, y, w, h, s, sx, sy, rop);
  }
  static BOOL WINAPI Stretch(HDC d, int x, int y, int w, int h, HDC s, int sx, int sy, int sw, int sh, DWORD rop) {
    current->blits.push_back({d, x, y, w, h, s, sx, sy});
    return StretchBlt(d, x, y, w, h, s, sx, sy, sw, sh, rop);
  }
  static void WINAPI NoSleep(DWORD) {}
  static void Frame(int frame) {
    ++current->frames;
    if (current->onFrame) current->onFrame(frame);
  }
  Recording() {
    current = this;
    EffectDraw.bitBlt = Blt;
    EffectDraw.stretchBlt = Stretch;
    EffectDraw.sleep = NoSleep;
    EffectDraw.frameDone = Frame;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  ~Recording() {
    EffectDraw = saved;
    current = nullptr;
  }
};
inline Recording *Recording::current = nullptr;

inline COLORREF OldScreen(int x, int y) { return RGB((x * 3 + 7) & 0xFF, (y * 5 + 11) & 0xFF, 40); }
inline COLORREF NewPicture(int x, int y) { return RGB((x * 7) & 0xFF, 200, (y * 9 + 30) & 0xFF); }
const COLORREF BACK = RGB(220, 110, 60);

// One effect call: a surface of the given size painted with OldScreen, a
// window whose client area is clientW x clientH, NewPicture at dest's size.
struct Scene {
  TestSurface screen;
  HWND window;
  void *image;
  int32_t size[2];
  RECT dest;
  TransitionParams params;

  Scene(int w, int h, RECT destRect, int whole, int clientW = 0, int clientH = 0)
      : screen(w, h, 0), window(MakeClientWindow(clientW ? clientW : w, clientH ? clientH : h)), dest(destRect) {
    GdiFlush();
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        COLORREF c = OldScreen(x, y);
        screen.bits[y * w + x] = GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
      }
    size[0] = dest.right - dest.left;
    size[1] = dest.bottom - dest.top;
    image = MakeTestDib(size[0], size[1], NewPicture);
    memset(&params, 0, sizeof params);
    params.window = window;
    params.dc = screen.dc;
    params.image = image;
    params.imageSize = size;
    params.destRect = &dest;
    params.backColor = BACK;
    params.wholeWindow = whole;
    params.abortable = 1;
    params.result = 77;
  }
  ~Scene() {
    DestroyWindow(window);
    MemFree(&image);
  }
  bool InDest(int x, int y) const { return x >= dest.left && x < dest.right && y >= dest.top && y < dest.bottom; }
  // NewPicture 1:1 inside dest; outside `outside`, or the untouched old screen when -1.
  void ExpectFinalState(COLORREF outside) const {
    for (int y = 0; y < screen.height; ++y)
      for (int x = 0; x < screen.width; ++x) {
        COLORREF want = InDest(x, y) ? NewPicture(x - dest.left, y - dest.top)
                        : outside == static_cast<COLORREF>(-1) ? OldScreen(x, y)
                                                               : outside;
        ASSERT_EQ(screen.At(x, y), want) << x << "," << y;
      }
  }
};

// A key press or mouse message waiting in this thread's queue.
inline bool InputQueued() {
  MSG msg;
  return PeekMessageA(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE) ||
         PeekMessageA(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE);
}

using EffectLibrary = PluginLibrary;

inline std::string ItemText(HWND dialog, int id) {
  char text[256] = {};
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

// Runs GetTransisionParams while `script` works its dialog from a second
// thread; a dialog the script left open is cancelled.
inline int RunDialog(EffectLibrary &lib, TransitionParams *params, std::function<void(HWND)> script) {
  return RunParamsDialog(lib, params, [&script](HWND dialog) {
    script(dialog);
    if (IsWindowVisible(dialog)) SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  });
}

// Presses OK; true when the dialog stayed open.
inline bool PressOkStaysOpen(HWND dialog) {
  SendMessageA(dialog, WM_COMMAND, IDOK, 0);
  return IsWindowVisible(dialog) != 0;
}

inline void PageRight(HWND dialog, int times) {
  for (int i = 0; i < times; ++i)
    SendMessageA(dialog, WM_HSCROLL, SB_PAGERIGHT, reinterpret_cast<LPARAM>(GetDlgItem(dialog, 1000)));
}

}  // namespace effect_test
