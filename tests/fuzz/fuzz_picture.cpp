// Fuzz target: picture bytes (BMP or JPEG) to a Dib, as resources are loaded.
// JPEG frames above a million pixels are skipped: libjpeg decodes them
// correctly but slowly, which only wastes fuzzing time.
#include <cstdint>

#include "raster/dib.h"
#include "shell/base/mem_block.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  int width, height, bits;
  if (JpegScanMemory(data, size, &width, &height, &bits) && static_cast<int64_t>(width) * height > (1 << 20))
    return 0;
  void *dib = DibFromImageData(data, size);
  MemFree(&dib);
  return 0;
}
