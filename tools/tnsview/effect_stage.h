// What an effect draws on outside the player: a window whose client area is
// width x height (the effect reads its client rectangle) and a
// screen-compatible memory surface of that size, plus a test picture.
#pragma once

#include <windows.h>

#include <cstdint>

struct EffectStage {
  HWND window;
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ oldBitmap;
  int width, height;
};

bool OpenEffectStage(EffectStage *stage, int width, int height, const char *title);
void CloseEffectStage(EffectStage *stage);

// Makes the effects read their random seeds from a clock that starts at
// `start` and advances one millisecond at every reading, so that a run
// draws the same random order every time.
void FixEffectClock(uint32_t start);

// A packed 24-bit DIB of w x h (in a memory block): a colour ramp with a
// white diagonal, so that turned or shifted pixels are easy to see.
void *MakeEffectPicture(int w, int h);
