// Memory blocks on Windows (GlobalAlloc, fixed and zero-initialised) and
// natively (calloc with a header that records the size and a tag, so that a
// pointer that is not one of ours reads as size 0 instead of being freed).
#include "shell/base/mem_block.h"

#include <cstdint>
#include <cstring>

#ifdef _WIN32
#include <windows.h>

static void *RawAlloc(size_t size) { return GlobalAlloc(GPTR, size); }
static size_t RawSize(const void *block) {
  if (!block) return 0;
  return GlobalSize(const_cast<void *>(block));
}
static void RawFree(void *block) { GlobalFree(block); }

#else
#include <cstdlib>

namespace {
struct BlockHeader {
  uint64_t tag;
  uint64_t size;
};
constexpr uint64_t kBlockTag = 0x6b4d656d426c6b21ull;  // "!klBmeMk"

BlockHeader *HeaderOf(const void *block) {
  return reinterpret_cast<BlockHeader *>(const_cast<char *>(static_cast<const char *>(block)) -
                                         sizeof(BlockHeader));
}
}  // namespace

static void *RawAlloc(size_t size) {
  if (size > SIZE_MAX - sizeof(BlockHeader)) return nullptr;
  auto *h = static_cast<BlockHeader *>(calloc(1, sizeof(BlockHeader) + size));
  if (!h) return nullptr;
  h->tag = kBlockTag;
  h->size = size;
  return h + 1;
}
static size_t RawSize(const void *block) {
  if (!block) return 0;
  const BlockHeader *h = HeaderOf(block);
  return h->tag == kBlockTag ? static_cast<size_t>(h->size) : 0;
}
static void RawFree(void *block) {
  BlockHeader *h = HeaderOf(block);
  h->tag = 0;
  free(h);
}
#endif

void *MemAlloc(size_t size) { return RawAlloc(size ? size : 1); }

void MemFree(void *holder) {
  if (!holder) return;
  void **slot = static_cast<void **>(holder);
  void *block = *slot;
  if (!block) return;
  if (RawSize(block)) RawFree(block);
  *slot = nullptr;
}

size_t MemSize(const void *block) { return RawSize(block); }

void *MemRealloc(void *block, size_t size) {
  size_t old = RawSize(block);
  if (!old) return MemAlloc(size);
  if (old == size) return block;
  void *fresh = MemAlloc(size);
  if (!fresh) return nullptr;
  memcpy(fresh, block, old < size ? old : size);
  RawFree(block);
  return fresh;
}

void *MemReallocChunked(void *block, size_t size, size_t chunk) {
  if (chunk) {
    size_t chunks = size ? (size - 1) / chunk + 1 : 1;
    if (chunks > SIZE_MAX / chunk) return nullptr;
    size = chunks * chunk;
  }
  return MemRealloc(block, size);
}

void *MemDup(const void *block) {
  size_t size = RawSize(block);
  if (!size) return nullptr;
  void *copy = RawAlloc(size);
  if (copy) memcpy(copy, block, size);
  return copy;
}
