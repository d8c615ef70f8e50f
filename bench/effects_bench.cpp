// effects_bench: the wall time of one full run of each effect (or of the
// effects named on the command line) at 1024 x 768 with its default
// parameters, not abortable, onto a screen-compatible memory surface.
// The effects' own sleeps are kept: they are part of what a viewer waits.
// Random orders are seeded from a fixed clock, so every run draws the same.
//
// Usage: effects_bench [--size WxH] [EFFECT ...]
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "shell/mem_block.h"
#include "tools/tnsview/effect_stage.h"
#include "tools/tnsview/effect_table.h"
#include "transitions/effect_frame.h"

namespace {
double RunOnce(const EffectEntry *effect, int width, int height, int *result) {
  EffectStage stage;
  if (!OpenEffectStage(&stage, width, height, "effects_bench")) return -1;
  PatBlt(stage.dc, 0, 0, width, height, WHITENESS);

  RECT dest = {0, 0, width, height};
  int32_t size[2] = {width, height};
  void *picture = MakeEffectPicture(width, height);
  TransitionParams params;
  memset(&params, 0, sizeof params);
  effect->defaults(&params);
  params.window = stage.window;
  params.dc = stage.dc;
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
  CloseEffectStage(&stage);
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
    FixEffectClock(1);  // the same random order in every run
    double ms = RunOnce(e, width, height, &result);
    printf("%-8s %dx%d  result %d  %.0f ms\n", e->name, width, height, result, ms);
    fflush(stdout);
  }
  return 0;
}
