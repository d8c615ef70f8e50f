// Test helpers: pictures built by hand as packed DIBs, and drawing surfaces
// (a DIB section in a memory DC) whose pixels the tests read directly.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <functional>

#include "shell/base/mem_block.h"

// A 24-bit packed DIB (bottom-up rows padded to 4 bytes) in a memory block;
// pixel(x, y) gives the colour at column x of row y counted from the top.
inline void *MakeTestDib(int width, int height, const std::function<COLORREF(int, int)> &pixel) {
  int stride = (width * 3 + 3) & ~3;
  auto *block = static_cast<unsigned char *>(MemAlloc(40 + static_cast<size_t>(stride) * height));
  auto *header = reinterpret_cast<BITMAPINFOHEADER *>(block);
  header->biSize = 40;
  header->biWidth = width;
  header->biHeight = height;
  header->biPlanes = 1;
  header->biBitCount = 24;
  header->biSizeImage = stride * height;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      COLORREF c = pixel(x, y);
      unsigned char *p = block + 40 + static_cast<size_t>(height - 1 - y) * stride + x * 3;
      p[0] = GetBValue(c);
      p[1] = GetGValue(c);
      p[2] = GetRValue(c);
    }
  return block;
}

// A 32-bit top-down DIB section selected into a memory DC.
struct TestSurface {
  int width = 0, height = 0;
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;
  uint32_t *bits = nullptr;

  TestSurface(int w, int h, COLORREF fill) : width(w), height(h) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void *p = nullptr;
    bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &p, nullptr, 0);
    bits = static_cast<uint32_t *>(p);
    dc = CreateCompatibleDC(nullptr);
    old = SelectObject(dc, bitmap);
    Fill(fill);
  }
  ~TestSurface() {
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
  void Fill(COLORREF c) {
    GdiFlush();
    for (int i = 0; i < width * height; ++i) bits[i] = GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
  }
  COLORREF At(int x, int y) const {
    GdiFlush();
    uint32_t v = bits[y * width + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  }
};

// A hidden popup window whose client area has the given size: effects read
// their client rectangle from it.
inline HWND MakeClientWindow(int width, int height) {
  RECT r = {0, 0, width, height};
  AdjustWindowRectEx(&r, WS_POPUP, FALSE, 0);
  return CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}
