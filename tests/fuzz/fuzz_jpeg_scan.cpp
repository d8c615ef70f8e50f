// Fuzz target: the JPEG marker scan that reads a picture's size without libjpeg.
#include <cstdint>

#include "raster/dib.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  int width, height, bits;
  JpegScanMemory(data, size, &width, &height, &bits);
  return 0;
}
