// The cell shuffle shared by the effects that bring a picture in cell by cell.
#include "transitions/crt_random.h"

#include "shell/base/mem_block.h"

void ShuffleCells(int32_t *order, int32_t count, CrtRandom *random) {
  for (int32_t i = 0; i < count; ++i) {
    uint32_t r1 = CrtRand(random), r2 = CrtRand(random), r3 = CrtRand(random), r4 = CrtRand(random);
    uint32_t v = (r2 & 0xFF) << 24 | (r1 & 0xFF) << 16 | (r3 & 0xFF) << 8 | (r4 & 0xFF);
    // Magnitude of v read as a signed 32-bit number; -2^31 counts as 2^31.
    uint32_t magnitude = (v & 0x80000000u) ? 0u - v : v;
    int32_t j = static_cast<int32_t>(magnitude % static_cast<uint32_t>(count));
    if (j >= count) j = count - 1;
    if (j != i) {
      int32_t t = order[i];
      order[i] = order[j];
      order[j] = t;
    }
  }
}

int32_t *ShuffledCellOrder(int32_t count, uint32_t seed) {
  auto *order = static_cast<int32_t *>(MemAlloc(static_cast<size_t>(count) * sizeof(int32_t)));
  if (!order) return nullptr;
  for (int32_t i = 0; i < count; ++i) order[i] = i;
  CrtRandom random;
  CrtSeed(&random, seed);
  ShuffleCells(order, count, &random);
  return order;
}
