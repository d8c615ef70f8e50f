// effects_bench: the wall time of one full run of each effect (or of the
// effects named on the command line) at 1024 x 768 with its default
// parameters, not abortable, onto a screen-compatible memory surface.
// The effects' own sleeps are kept: they are part of what a viewer waits.
//
// Usage: effects_bench [--size WxH] [EFFECT ...]
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "shell/mem_block.h"
#include "tools/tnsview/effect_table.h"
#include "transitions/effect_frame.h"

namespace {
void *MakePicture(int w, int h) {
  int stride = (w * 3 + 3) & ~3;
  auto *dib = static_cast<unsigned char *>(MemAlloc(40 + static_cast<size_t>(stride) * h));
  auto *header = reinterpret_cast<BITMAPINFOHEADER *>(dib);
  header->biSize = 40;
  header->biWidth = w;
  header->biHeight = h;
  header->biPlanes = 1;
  header->biBitCount = 24;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      unsigned char *p = dib + 40 + static_cast<size_t>(y) * stride + x * 3;
      p[0] = static_cast<unsigned char>(x);
      p[1] = static_cast<unsigned char>(y);
      p[2] = static_cast<unsigned char>(x ^ y);
    }
  return dib;
}

double RunOnce(const EffectEntry *effect, int width, int height, int *result) {
  RECT frame = {0, 0, width, height};
  AdjustWindowRectEx(&frame, WS_POPUP, FALSE, 0);
  HWND window = CreateWindowExA(0, "STATIC", "effects_bench", WS_POPUP, 0, 0, frame.right - frame.left,
                                frame.bottom - frame.top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  HDC screenDc = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screenDc);
  HBITMAP bitmap = CreateCompatibleBitmap(screenDc, width, height);
  ReleaseDC(nullptr, screenDc);
  HGDIOBJ old = SelectObject(dc, bitmap);
  PatBlt(dc, 0, 0, width, height, WHITENESS);

  RECT dest = {0, 0, width, height};
  int32_t size[2] = {width, height};
  void *picture = MakePicture(width, height);
  TransitionParams params;
  memset(&params, 0, sizeof params);
  effect->defaults(&params);
  params.window = window;
  params.dc = dc;
  params.image = picture;
  params.imageSize = size;
  params.destRect = &dest;
  params.backColor = RGB(0, 0, 0);
  params.wholeWindow = 0;
  params.abortable = 0;

  LARGE_INTEGER start, end, rate;
  QueryPerformanceFrequency(&rate);
  QueryPerformanceCounter(&start);
  *result = effect->run(&params);
  QueryPerformanceCounter(&end);

  MemFree(&picture);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  DestroyWindow(window);
  return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(rate.QuadPart);
}
}  // namespace

int main(int argc, char **argv) {
  int width = 1024, height = 768;
  int first = 1;
  if (argc > 2 && !strcmp(argv[1], "--size")) {
    sscanf(argv[2], "%dx%d", &width, &height);
    first = 3;
  }
  for (const EffectEntry *e = EffectTable; e->name; ++e) {
    bool wanted = first >= argc;
    for (int i = first; i < argc; ++i)
      if (!_stricmp(argv[i], e->name)) wanted = true;
    if (!wanted) continue;
    int result = 0;
    EffectDraw.frameDone = nullptr;
    double ms = RunOnce(e, width, height, &result);
    printf("%-8s %dx%d  result %d  %.0f ms\n", e->name, width, height, result, ms);
    fflush(stdout);
  }
  return 0;
}
