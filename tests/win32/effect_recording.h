// Hooks for the Windows tests of an effect: they record every BitBlt and
// StretchBlt the effect draws, the sleeps it asks for (without sleeping) and
// its frames, can run a callback after each frame, and stand in for the
// clock that seeds random orders, so that every run draws the same order.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "transitions/effect_frame.h"

namespace effect_test {

struct BlitCall {
  bool stretched;  // a StretchBlt; a BitBlt records sw, sh as w, h
  HDC dest;
  int x, y, w, h;
  HDC src;
  int sx, sy, sw, sh;
};

// Installs the recording hooks for one test and restores the old ones at the
// end. Drains the message queue first.
struct Recording {
  static Recording *current;
  EffectDrawing saved = EffectDraw;
  std::vector<BlitCall> blits;  // both kinds, in call order
  std::vector<DWORD> sleeps;
  int frames = 0;
  std::function<void(int)> onFrame;  // runs after each frame when set
  // The clock the effect reads its seeds from: `clock` first, then
  // clockStep milliseconds later at every further reading.
  uint32_t clock = 4711;
  uint32_t clockStep = 3;
  int clockReads = 0;

  static BOOL WINAPI Blt(HDC d, int x, int y, int w, int h, HDC s, int sx, int sy, DWORD rop) {
    current->blits.push_back({false, d, x, y, w, h, s, sx, sy, w, h});
    return BitBlt(d, x, y, w, h, s, sx, sy, rop);
  }
  static BOOL WINAPI Stretch(HDC d, int x, int y, int w, int h, HDC s, int sx, int sy, int sw, int sh, DWORD rop) {
    current->blits.push_back({true, d, x, y, w, h, s, sx, sy, sw, sh});
    return StretchBlt(d, x, y, w, h, s, sx, sy, sw, sh, rop);
  }
  static void WINAPI NoSleep(DWORD ms) { current->sleeps.push_back(ms); }
  static uint32_t Ticks() {
    ++current->clockReads;
    const uint32_t now = current->clock;
    current->clock += current->clockStep;
    return now;
  }
  static void Frame(int frame) {
    ++current->frames;
    if (current->onFrame) current->onFrame(frame);
  }
  // A removed WM_PAINT stays pending until its window is validated.
  static void Drain() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
      if (msg.message == WM_PAINT) ValidateRect(msg.hwnd, nullptr);
  }

  Recording() {
    current = this;
    EffectDraw.bitBlt = Blt;
    EffectDraw.stretchBlt = Stretch;
    EffectDraw.sleep = NoSleep;
    EffectDraw.frameDone = Frame;
    EffectDraw.tickCount = Ticks;
    Drain();
  }
  ~Recording() {
    EffectDraw = saved;
    current = nullptr;
  }
  Recording(const Recording &) = delete;
  Recording &operator=(const Recording &) = delete;

  // The StretchBlt calls alone, in call order.
  std::vector<BlitCall> Stretches() const {
    std::vector<BlitCall> out;
    for (const BlitCall &b : blits)
      if (b.stretched) out.push_back(b);
    return out;
  }
};
inline Recording *Recording::current = nullptr;

// A key press or mouse message waiting in this thread's queue.
inline bool InputQueued() {
  MSG msg;
  return PeekMessageA(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE) ||
         PeekMessageA(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE);
}

}  // namespace effect_test
