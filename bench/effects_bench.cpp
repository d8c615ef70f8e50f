// effects_bench: the wall time of one full run of each effect (or of the
// effects named on the command line) at 1024 x 768 or another size, with its
// default parameters, not abortable, onto a screen-compatible memory surface.
// The effects' own sleeps are kept: they are part of what a viewer waits.
// Random orders are seeded from a fixed clock, so every run draws the same.
//
// With --key the effect runs abortable as in the player, and a second thread
// presses a key (posts WM_KEYDOWN) at 10, 30, 50, 70 and 90 % of the full
// run's time; the benchmark prints the longest and the mean time from the
// key to the effect's return.
//
// With --screens N the run is made on N stages at once, each on a thread
// and window of its own, as the player runs a page change on N monitors;
// the time is from the common start to the last stage's return.
//
// Usage: effects_bench [--size WxH] [--key] [--screens N] [EFFECT ...]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "shell/base/mem_block.h"
#include "tools/tnsview/effect_stage.h"
#include "tools/tnsview/effect_table.h"
#include "transitions/effect_frame.h"

namespace {
double Now() {
  LARGE_INTEGER count, rate;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&rate);
  return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(rate.QuadPart);
}

// A key pressed from a second thread after `delayMs`.
struct KeyPress {
  HWND window;
  DWORD delayMs;
  volatile double pressedAt;  // 0 until the key is posted
};

DWORD WINAPI PressKeyLater(void *job) {
  auto *key = static_cast<KeyPress *>(job);
  Sleep(key->delayMs);
  key->pressedAt = Now();
  PostMessageA(key->window, WM_KEYDOWN, 'A', 0);
  return 0;
}

// One run of the effect on a fresh stage. With key, the run is abortable and
// the key is pressed after key->delayMs; *keyToReturn then receives the time
// from the key to the return (negative when the effect ended first).
double RunOnce(const EffectEntry *effect, int width, int height, int *result, KeyPress *key, double *keyToReturn) {
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
  params.abortable = key ? 1 : 0;

  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
  HANDLE presser = nullptr;
  if (key) {
    key->window = stage.window;
    key->pressedAt = 0;
    presser = CreateThread(nullptr, 0, PressKeyLater, key, 0, nullptr);
  }
  const double start = Now();
  *result = effect->run(&params);
  const double end = Now();
  if (presser) {
    WaitForSingleObject(presser, INFINITE);
    CloseHandle(presser);
    *keyToReturn = key->pressedAt > 0 && key->pressedAt <= end ? end - key->pressedAt : -1;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  MemFree(&picture);
  CloseEffectStage(&stage);
  return end - start;
}
// One stage of a run on several screens at once.
struct ScreenRun {
  const EffectEntry *effect;
  int width, height, result;
  double ms;
};

DWORD WINAPI RunScreen(void *job) {
  auto *run = static_cast<ScreenRun *>(job);
  run->ms = RunOnce(run->effect, run->width, run->height, &run->result, nullptr, nullptr);
  return 0;
}

// The wall time of the effect on `screens` stages at once.
double RunOnScreens(const EffectEntry *effect, int width, int height, int screens, int *result) {
  enum { MAX_SCREENS = 8 };
  ScreenRun runs[MAX_SCREENS];
  HANDLE threads[MAX_SCREENS];
  if (screens > MAX_SCREENS) screens = MAX_SCREENS;
  const double start = Now();
  for (int i = 0; i < screens; ++i) {
    runs[i] = {effect, width, height, 0, -1};
    threads[i] = CreateThread(nullptr, 0, RunScreen, &runs[i], 0, nullptr);
  }
  WaitForMultipleObjects(screens, threads, TRUE, INFINITE);
  *result = 1;
  for (int i = 0; i < screens; ++i) {
    CloseHandle(threads[i]);
    if (runs[i].ms < 0 || !runs[i].result) *result = 0;
  }
  return Now() - start;
}

}  // namespace

int main(int argc, char **argv) {
  int width = 1024, height = 768;
  bool keys = false;
  int screens = 1;
  int first = 1;
  while (first < argc && argv[first][0] == '-') {
    if (!strcmp(argv[first], "--size") && first + 1 < argc) {
      sscanf(argv[first + 1], "%dx%d", &width, &height);
      first += 2;
    } else if (!strcmp(argv[first], "--screens") && first + 1 < argc) {
      screens = atoi(argv[first + 1]);
      if (screens < 1) screens = 1;
      first += 2;
    } else if (!strcmp(argv[first], "--key")) {
      keys = true;
      first += 1;
    } else {
      fprintf(stderr, "usage: effects_bench [--size WxH] [--key] [--screens N] [EFFECT ...]\n");
      return 2;
    }
  }
  for (const EffectEntry *e = EffectTable; e->name; ++e) {
    bool wanted = first >= argc;
    for (int i = first; i < argc; ++i)
      if (!_stricmp(argv[i], e->name)) wanted = true;
    if (!wanted) continue;
    int result = 0;
    EffectDraw.frameDone = nullptr;
    FixEffectClock(1);  // the same random order in every run
    double ms = screens > 1 ? RunOnScreens(e, width, height, screens, &result)
                            : RunOnce(e, width, height, &result, nullptr, nullptr);
    if (screens > 1) printf("%-8s %dx%d on %d screens  result %d  %.0f ms\n", e->name, width, height, screens, result, ms);
    else printf("%-8s %dx%d  result %d  %.0f ms\n", e->name, width, height, result, ms);
    fflush(stdout);
    if (!keys || ms < 0) continue;
    double longest = -1, sum = 0;
    int counted = 0;
    for (int tenth = 1; tenth <= 9; tenth += 2) {
      KeyPress key = {nullptr, static_cast<DWORD>(ms * tenth / 10), 0};
      double latency = -1;
      FixEffectClock(1);
      RunOnce(e, width, height, &result, &key, &latency);
      if (latency < 0) continue;
      longest = latency > longest ? latency : longest;
      sum += latency;
      ++counted;
    }
    if (counted)
      printf("%-8s %dx%d  key to return: longest %.1f ms, mean %.1f ms (%d keys)\n", e->name, width, height, longest,
             sum / counted, counted);
    else
      printf("%-8s %dx%d  key to return: no key landed during the effect\n", e->name, width, height);
    fflush(stdout);
  }
  return 0;
}
