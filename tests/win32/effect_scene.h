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

// The real plug-in library beside the test program, as the player loads it.
struct EffectLibrary {
  HMODULE module;
  explicit EffectLibrary(const char *file) {
    char self[PATH_SIZE];
    GetModuleFileNameA(nullptr, self, PATH_SIZE);
    std::string path = self;
    path = path.substr(0, path.rfind('\\') + 1) + file;
    module = LoadLibraryA(path.c_str());
  }
  ~EffectLibrary() { FreeLibrary(module); }
  TransitionFunctionPtr Get(const char *name) {
    return reinterpret_cast<TransitionFunctionPtr>(reinterpret_cast<void *>(GetProcAddress(module, name)));
  }
  std::string Name() {
    char name[TRANSITION_NAME_SIZE] = {};
    reinterpret_cast<TransitionNamePtr>(reinterpret_cast<void *>(GetProcAddress(module, "GetTransisionName")))(name);
    return name;
  }
};

// "パラメータの設定" in code page 932.
const char DIALOG_CAPTION[] = "\x83\x70\x83\x89\x83\x81\x81\x5b\x83\x5e\x82\xcc\x90\xdd\x92\xe8";

inline std::string ItemText(HWND dialog, int id) {
  char text[256] = {};
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

// Runs GetTransisionParams while a second thread finds the dialog and runs
// `script` on it; the script presses the buttons itself. The window is found
// hidden once the dialog has ended.
inline int RunDialog(EffectLibrary &lib, TransitionParams *params, std::function<void(HWND)> script) {
  struct Job {
    std::function<void(HWND)> script;
  } job{std::move(script)};
  auto drive = [](void *p) -> DWORD {
    HWND dialog = nullptr;
    for (int i = 0; i < 500 && !dialog; ++i) {
      dialog = FindWindowA("#32770", DIALOG_CAPTION);
      if (!dialog) Sleep(20);
    }
    if (!dialog) return 0;
    // The window exists before WM_INITDIALOG has filled it: a sent message is
    // handled only once the dialog thread waits for messages again.
    SendMessageA(dialog, WM_NULL, 0, 0);
    static_cast<Job *>(p)->script(dialog);
    if (IsWindowVisible(dialog)) SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    return 1;
  };
  HANDLE thread = CreateThread(nullptr, 0, drive, &job, 0, nullptr);
  int result = lib.Get("GetTransisionParams")(params);
  WaitForSingleObject(thread, 20000);
  CloseHandle(thread);
  return result;
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

// "ウェイト：" in code page 932, followed by the position.
inline std::string WaitLabel(int position) {
  return std::string("\x83\x45\x83\x46\x83\x43\x83\x67\x81\x46") + std::to_string(position);
}

}  // namespace effect_test
