// Speed of the raster work the player does on every page change: decoding a
// camera-sized JPEG, resizing it to the screen, enlarging a small picture,
// blending a text fade frame and turning a picture. The JPEG is read from
// $VK_BENCH_JPEG (bench/compare.sh makes a 4000 x 3000 one).
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "raster/dib.h"
#include "shell/base/mem_block.h"

namespace {

const char *BenchJpeg() {
  const char *path = getenv("VK_BENCH_JPEG");
  return path ? path : "build/bench/data/photo_4000x3000.jpg";
}

// A 24-bit picture with some detail in every channel.
void *Picture(int w, int h) {
  void *dib = DibCreateSolid(w, h, 24, 0);
  BYTE *bits = DibBits(dib);
  uint32_t stride = DibStride(w, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      BYTE *p = bits + static_cast<size_t>(y) * stride + x * 3;
      p[0] = static_cast<BYTE>(x * 7 + y);
      p[1] = static_cast<BYTE>((x ^ y) * 3);
      p[2] = static_cast<BYTE>(y * 5 - x);
    }
  return dib;
}

void BM_PictureLoadJpeg(benchmark::State &state) {
  for (auto _ : state) {
    void *dib = PictureLoad(BenchJpeg(), 1);
    if (!dib) {
      state.SkipWithError("no benchmark JPEG (run bench/compare.sh)");
      break;
    }
    benchmark::DoNotOptimize(dib);
    MemFree(&dib);
  }
}
BENCHMARK(BM_PictureLoadJpeg)->Unit(benchmark::kMillisecond);

void BM_PictureLoadAndScale(benchmark::State &state) {
  RECT screen = {0, 0, 1024, 768};
  for (auto _ : state) {
    void *dib = PictureLoad(BenchJpeg(), 1);
    if (!dib) {
      state.SkipWithError("no benchmark JPEG (run bench/compare.sh)");
      break;
    }
    void *scaled = DibScaleSmooth(dib, &screen, 1, 0);
    benchmark::DoNotOptimize(scaled);
    MemFree(&scaled);
    MemFree(&dib);
  }
}
BENCHMARK(BM_PictureLoadAndScale)->Unit(benchmark::kMillisecond);

void BM_ScaleSmooth(benchmark::State &state) {
  void *src = Picture(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  RECT target = {0, 0, static_cast<LONG>(state.range(2)), static_cast<LONG>(state.range(3))};
  for (auto _ : state) {
    void *out = DibScaleSmooth(src, &target, 1, 0);
    benchmark::DoNotOptimize(out);
    MemFree(&out);
  }
  MemFree(&src);
}
BENCHMARK(BM_ScaleSmooth)->Args({4000, 3000, 1024, 768})->Args({640, 480, 1920, 1080})->Unit(benchmark::kMillisecond);

void BM_Blend(benchmark::State &state) {
  void *base = Picture(1024, 768);
  void *overlay = Picture(1024, 768);
  RECT all = {0, 0, 1024, 768};
  for (auto _ : state) {
    void *out = DibBlend(base, &all, overlay, 35, static_cast<COLORREF>(-1));
    benchmark::DoNotOptimize(out);
    MemFree(&out);
  }
  MemFree(&overlay);
  MemFree(&base);
}
BENCHMARK(BM_Blend)->Unit(benchmark::kMillisecond);

void BM_Rotate90(benchmark::State &state) {
  void *src = Picture(1024, 768);
  for (auto _ : state) {
    void *out = DibRotate90(src);
    benchmark::DoNotOptimize(out);
    MemFree(&out);
  }
  MemFree(&src);
}
BENCHMARK(BM_Rotate90)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
