// The scene of one effect call in the Windows tests: a memory surface showing
// the old screen, a window whose client rectangle the effect reads, a picture
// and a filled parameter block. Each test file chooses what the old screen and
// the picture look like, so that its expected pixels come from its own
// functions.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "shell/base/mem_block.h"
#include "tests/win32/effect_recording.h"
#include "tests/win32/test_surface.h"
#include "transitions/transition_params.h"

namespace effect_test {

using PixelFunction = COLORREF (*)(int x, int y);

// What a scene shows: the old screen at (x, y) of the client, the picture at
// (x, y) of itself, and the block's backColor.
struct SceneLook {
  PixelFunction screen;
  PixelFunction picture;
  COLORREF back;
};

// An old screen and a picture whose colours change with every column and row.
inline COLORREF OldScreen(int x, int y) { return RGB((x * 3 + 7) & 0xFF, (y * 5 + 11) & 0xFF, 40); }
inline COLORREF NewPicture(int x, int y) { return RGB((x * 7) & 0xFF, 200, (y * 9 + 30) & 0xFF); }
const COLORREF BACK = RGB(220, 110, 60);
const SceneLook PATTERNS = {OldScreen, NewPicture, BACK};

// A w x h surface showing look.screen, a window whose client area is w x h,
// look.picture at destRect's size (or pictureW x pictureH when given), and a
// block with backColor, wholeWindow, abortable 1 and result 77; wait and the
// effect's words are 0.
struct Scene {
  SceneLook look;
  TestSurface screen;
  HWND window;
  void *image;
  int32_t size[2];
  RECT dest;
  TransitionParams params;

  Scene(int w, int h, RECT destRect, int whole, const SceneLook &sceneLook = PATTERNS, int pictureW = 0,
        int pictureH = 0)
      : look(sceneLook), screen(w, h, 0), window(MakeClientWindow(w, h)), dest(destRect) {
    GdiFlush();
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        COLORREF c = look.screen(x, y);
        screen.bits[y * w + x] = GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
      }
    size[0] = pictureW > 0 ? pictureW : dest.right - dest.left;
    size[1] = pictureH > 0 ? pictureH : dest.bottom - dest.top;
    // An empty rectangle still gets a one-pixel picture to point at.
    image = MakeTestDib(size[0] > 0 ? size[0] : 1, size[1] > 0 ? size[1] : 1, look.picture);
    memset(&params, 0, sizeof params);
    params.window = window;
    params.dc = screen.dc;
    params.image = image;
    params.imageSize = size;
    params.destRect = &dest;
    params.backColor = look.back;
    params.wholeWindow = whole;
    params.abortable = 1;
    params.result = 77;
  }
  ~Scene() {
    DestroyWindow(window);
    MemFree(&image);
  }
  Scene(const Scene &) = delete;
  Scene &operator=(const Scene &) = delete;

  bool InDest(int x, int y) const { return x >= dest.left && x < dest.right && y >= dest.top && y < dest.bottom; }
  // The picture 1:1 inside dest; outside `outside`, or the untouched old screen when -1.
  void ExpectFinalState(COLORREF outside) const {
    for (int y = 0; y < screen.height; ++y)
      for (int x = 0; x < screen.width; ++x) {
        COLORREF want = InDest(x, y) ? look.picture(x - dest.left, y - dest.top)
                        : outside == static_cast<COLORREF>(-1) ? look.screen(x, y)
                                                               : outside;
        ASSERT_EQ(screen.At(x, y), want) << x << "," << y;
      }
  }
};

}  // namespace effect_test
