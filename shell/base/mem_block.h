// Memory blocks: every dynamic buffer of the player and of the plug-ins is a
// zero-filled block whose size can be read back from the block itself. On
// Windows a block is fixed global memory (the pointer is the handle); natively
// it is a heap block with a small size header in front of it.
#pragma once

#include <cstddef>

void *MemAlloc(size_t size);                        // zeroed; 0 bytes gives 1; null on failure
void MemFree(void *holder);                          // takes the address of the holder's pointer, nulls it
size_t MemSize(const void *block);                  // 0 for null or a pointer that is not a block
void *MemRealloc(void *block, size_t size);          // copy into a new zeroed block; old one freed
void *MemReallocChunked(void *block, size_t size, size_t chunk);  // size raised to a multiple of chunk
void *MemDup(const void *block);                    // same size and contents; null if not a block

// Typed convenience for the holder's pointer.
template <typename T>
inline void MemFreePtr(T *&holder) {
  MemFree(static_cast<void *>(&holder));
}
