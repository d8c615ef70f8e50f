// The random orders the effect tests expect, worked out here from the C
// runtime's generator itself (state * 214013 + 2531011, each draw bits 16..30
// of the new state), not from the effects' own code.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace effect_test {

struct RuntimeRand {
  uint32_t state;
  int Next() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFF);
  }
};

// The order in which nijimu and QUADRIL bring in `count` cells for a seed:
// position i is exchanged with position |v| mod count, v built from four draws.
inline std::vector<int> ExpectedCellOrder(int count, uint32_t seed) {
  std::vector<int> order(count);
  for (int i = 0; i < count; ++i) order[i] = i;
  RuntimeRand rand{seed};
  for (int i = 0; i < count; ++i) {
    const uint32_t r1 = rand.Next(), r2 = rand.Next(), r3 = rand.Next(), r4 = rand.Next();
    const int32_t v = static_cast<int32_t>((r2 & 0xFF) << 24 | (r1 & 0xFF) << 16 | (r3 & 0xFF) << 8 | (r4 & 0xFF));
    const int64_t magnitude = v < 0 ? -static_cast<int64_t>(v) : v;
    int j = static_cast<int>(magnitude % count);
    if (j >= count) j = count - 1;
    if (j != i) std::swap(order[i], order[j]);
  }
  return order;
}

}  // namespace effect_test
