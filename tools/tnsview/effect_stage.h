// What an effect draws on outside the player: a window whose client area is
// width x height (the effect reads its client rectangle) and a
// screen-compatible memory surface of that size, plus a test picture.
#pragma once

#include <windows.h>

struct EffectStage {
  HWND window;
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ oldBitmap;
  int width, height;
};

bool OpenEffectStage(EffectStage *stage, int width, int height, const char *title);
void CloseEffectStage(EffectStage *stage);

// A packed 24-bit DIB of w x h (in a memory block): a colour ramp with a
// white diagonal, so that turned or shifted pixels are easy to see.
void *MakeEffectPicture(int w, int h);
