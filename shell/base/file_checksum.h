// The identifier of a transition plug-in: the sum of its file's bytes, each
// taken as a signed 8-bit value, in a 32-bit sum that wraps. Reads files with
// the C runtime, so it serves the tools as well as the player.
#pragma once

#include <cstddef>
#include <cstdint>

int32_t SignedByteSum(const unsigned char *bytes, size_t size);
// 0 for an empty path or a file that cannot be read whole.
int32_t FileChecksum(const char *path);

// Reads a whole file (at most INT32_MAX bytes) into a memory block; null on
// failure. size receives the byte count.
unsigned char *ReadFileBlock(const char *path, size_t *size);
