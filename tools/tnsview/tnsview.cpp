// tnsview: runs one transition effect on a picture and writes every frame it
// draws as a BMP file, so that an effect can be looked at frame by frame.
// The old screen is a grey/blue checkerboard, the new picture a colour
// gradient with a diagonal stripe (or a BMP/JPEG given with --picture).
//
// Usage: tnsview EFFECT OUTDIR [--size WxH] [--dest L,T,R,B] [--wait N]
//                [--param I=V ...] [--whole 0|1] [--picture FILE] [--every N] [--time 1]
//                [--seed N] [--hashes FILE] [--picture-size WxH]
// With --time 1 no frame is written: the effect runs with its real sleeps
// and the time of the whole run is printed. With --seed N the random orders
// are seeded from a clock that starts at N and advances 1 ms per reading,
// so that two runs (or two builds) draw the same frames. With --hashes FILE
// every frame's pixels are hashed (64-bit FNV-1a over the 24-bit rows) into
// one line of FILE, whether or not --every saves it as a BMP. The generated
// picture has the destination's size unless --picture-size gives another.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "raster/dib.h"
#include "shell/base/mem_block.h"
#include "tools/tnsview/effect_stage.h"
#include "tools/tnsview/effect_table.h"
#include "transitions/effect_frame.h"

namespace {
struct Capture {
  HDC dc;
  int width, height;
  std::string folder;
  int every;
  int saved;
  FILE *hashes;
} capture;

uint64_t HashPixels(const void *dib) {
  SIZE size;
  if (!DibGetSize(dib, &size)) return 0;
  const BYTE *bits = DibBits(dib);
  const size_t bytes = static_cast<size_t>(DibStride(size.cx, 24)) * static_cast<size_t>(size.cy);
  uint64_t hash = 14695981039346656037ull;
  for (size_t i = 0; i < bytes; ++i) hash = (hash ^ bits[i]) * 1099511628211ull;
  return hash;
}

void SaveFrame(int frame) {
  const bool save = frame % capture.every == 0;
  if (!save && !capture.hashes) return;
  void *dib = CaptureDC(capture.dc, capture.width, capture.height);
  if (!dib) return;
  if (capture.hashes)
    fprintf(capture.hashes, "frame_%04d %016llx\n", frame, static_cast<unsigned long long>(HashPixels(dib)));
  char path[MAX_PATH];
  snprintf(path, sizeof path, "%s\\frame_%04d.bmp", capture.folder.c_str(), frame);
  if (save && DibSaveFile(path, dib)) ++capture.saved;
  MemFree(&dib);
}

void WINAPI NoSleep(DWORD) {}

int Usage() {
  fprintf(stderr, "usage: tnsview EFFECT OUTDIR [--size WxH] [--dest L,T,R,B] [--wait N] [--param I=V]...\n"
                  "       [--whole 0|1] [--picture FILE] [--every N] [--time 1] [--seed N] [--hashes FILE]\n"
                  "       [--picture-size WxH]\n"
                  "effects:");
  for (const EffectEntry *e = EffectTable; e->name; ++e) fprintf(stderr, " %s", e->name);
  fprintf(stderr, "\n");
  return 2;
}
}  // namespace

int main(int argc, char **argv) {
  if (argc < 3) return Usage();
  const EffectEntry *effect = nullptr;
  for (const EffectEntry *e = EffectTable; e->name; ++e)
    if (!_stricmp(e->name, argv[1])) effect = e;
  if (!effect) return Usage();

  int width = 320, height = 240, every = 1, whole = 0, timed = 0;
  RECT dest = {0, 0, -1, -1};
  TransitionParams params;
  memset(&params, 0, sizeof params);
  effect->defaults(&params);
  const char *pictureFile = nullptr, *hashFile = nullptr;
  int pictureWidth = 0, pictureHeight = 0;
  for (int i = 3; i + 1 < argc; i += 2) {
    std::string opt = argv[i];
    const char *v = argv[i + 1];
    if (opt == "--size") sscanf(v, "%dx%d", &width, &height);
    else if (opt == "--dest") sscanf(v, "%ld,%ld,%ld,%ld", &dest.left, &dest.top, &dest.right, &dest.bottom);
    else if (opt == "--wait") params.wait = atoi(v);
    else if (opt == "--whole") whole = atoi(v);
    else if (opt == "--every") every = atoi(v) > 0 ? atoi(v) : 1;
    else if (opt == "--picture") pictureFile = v;
    else if (opt == "--time") timed = atoi(v);
    else if (opt == "--seed") FixEffectClock(static_cast<uint32_t>(strtoul(v, nullptr, 0)));
    else if (opt == "--hashes") hashFile = v;
    else if (opt == "--picture-size") sscanf(v, "%dx%d", &pictureWidth, &pictureHeight);
    else if (opt == "--param") {
      int index = 0, value = 0;
      if (sscanf(v, "%d=%d", &index, &value) == 2 && index >= 0 && index < EFFECT_PARAM_WORDS)
        params.effectParams[index] = value;
    } else return Usage();
  }
  if (dest.right < 0) dest = {0, 0, width, height};

  EffectStage stage;
  if (!OpenEffectStage(&stage, width, height, "tnsview")) {
    fprintf(stderr, "tnsview: no window or surface of %dx%d\n", width, height);
    return 1;
  }
  HDC dc = stage.dc;
  for (int y = 0; y < height; y += 16)
    for (int x = 0; x < width; x += 16) {
      RECT cell = {x, y, x + 16, y + 16};
      HBRUSH brush = CreateSolidBrush(((x + y) / 16) % 2 ? RGB(70, 70, 90) : RGB(40, 40, 60));
      FillRect(dc, &cell, brush);
      DeleteObject(brush);
    }

  int32_t size[2] = {dest.right - dest.left, dest.bottom - dest.top};
  if (pictureWidth > 0 && pictureHeight > 0) {
    size[0] = pictureWidth;
    size[1] = pictureHeight;
  }
  void *picture = pictureFile ? PictureLoad(pictureFile, 1) : MakeEffectPicture(size[0], size[1]);
  if (!picture) {
    fprintf(stderr, "tnsview: cannot load %s\n", pictureFile);
    return 1;
  }
  if (pictureFile) {
    SIZE s;
    DibGetSize(picture, &s);
    size[0] = s.cx;
    size[1] = s.cy;
  }
  params.window = stage.window;
  params.dc = dc;
  params.image = picture;
  params.imageSize = size;
  params.destRect = &dest;
  params.backColor = RGB(250, 240, 200);
  params.wholeWindow = whole;
  params.abortable = 0;

  capture = {dc, width, height, argv[2], every, 0, nullptr};
  CreateDirectoryA(argv[2], nullptr);
  if (hashFile && !timed && !(capture.hashes = fopen(hashFile, "w"))) {
    fprintf(stderr, "tnsview: cannot write %s\n", hashFile);
    CloseEffectStage(&stage);
    MemFree(&picture);
    return 1;
  }
  EffectDraw.frameDone = timed ? nullptr : SaveFrame;
  if (!timed) EffectDraw.sleep = NoSleep;
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  int result = effect->run(&params);
  QueryPerformanceCounter(&end);
  if (timed)
    printf("%s: %dx%d, wait %d: %.1f ms\n", effect->name, width, height, params.wait,
           1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart));
  // The final state, as the player leaves it after its own 1:1 draw.
  char path[MAX_PATH];
  snprintf(path, sizeof path, "%s\\final.bmp", argv[2]);
  if (void *dib = CaptureDC(dc, width, height)) {
    DibSaveFile(path, dib);
    MemFree(&dib);
  }
  if (capture.hashes) fclose(capture.hashes);
  printf("%s: result %d, %d frames saved in %s\n", effect->name, result, capture.saved, argv[2]);
  CloseEffectStage(&stage);
  MemFree(&picture);
  return result == 1 ? 0 : 1;
}
