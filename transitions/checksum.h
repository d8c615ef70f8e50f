// The identifier of a plug-in file: every byte taken as a signed 8-bit value,
// added into a 32-bit sum that wraps. Shared by the player and the authoring tool.
#pragma once

#include <cstddef>
#include <cstdint>

inline int32_t ByteSum(const unsigned char *bytes, size_t size) {
  uint32_t sum = 0;
  for (size_t i = 0; i < size; ++i) sum += static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(bytes[i])));
  return static_cast<int32_t>(sum);
}
