// Fuzz target: BMP files and bare packed DIBs, read through the file reader
// (DibReadHeader on a stdio stream), the memory loader and the authoring
// tool's reader of every BMP form. A Dib that loads must then be safe for
// every pixel operation, so a few are run on it.
#include <cstdint>
#include <cstdio>

#include "raster/bmp_import.h"
#include "raster/dib.h"
#include "shell/base/mem_block.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size) {
    FILE *file = fmemopen(const_cast<uint8_t *>(data), size, "rb");
    if (file) {
      void *header = DibReadHeader(file);
      MemFree(&header);
      fclose(file);
    }
  }
  void *dib = DibLoadMemory(data, size);
  SIZE s;
  if (dib && DibGetSize(dib, &s) && static_cast<int64_t>(s.cx) * s.cy <= 1 << 16) {
    void *ops[4] = {DibToRgb24(dib), DibRotate90(dib), DibFlipHorizontal(dib), nullptr};
    RECT half = {0, 0, s.cx / 2 + 1, s.cy / 2 + 1};
    ops[3] = DibScale(dib, &half, 1, 0);
    for (void *&p : ops) MemFree(&p);
  }
  MemFree(&dib);
  void *imported = DibImportBmp(data, size);
  if (imported && DibGetSize(imported, &s) && static_cast<int64_t>(s.cx) * s.cy <= 1 << 16) {
    void *copy = DibToRgb24(imported);
    MemFree(&copy);
  }
  MemFree(&imported);
  return 0;
}
