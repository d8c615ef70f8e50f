// Memory blocks on Windows (GlobalAlloc, fixed and zero-initialised) and
// natively (calloc with a header that records the size and a tag, so that a
// pointer that is not one of ours reads as size 0 instead of being freed).
// Freeing first checks, without touching it, that the holder of the pointer
// can be read and written.
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

// True when the page holding this byte is committed, and readable and
// writable, as the memory manager reports it (VirtualQuery touches nothing,
// so it is safe on any address, unlike reading it or IsBadWritePtr, which can
// trip a guard page).
static bool PageReadWrite(const void *at) {
  MEMORY_BASIC_INFORMATION info;
  if (VirtualQuery(at, &info, sizeof info) != sizeof info || info.State != MEM_COMMIT) return false;
  if (info.Protect & (PAGE_GUARD | PAGE_NOACCESS)) return false;
  return (info.Protect & (PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY)) != 0;
}
static bool HolderUsable(void *holder) {
  const char *first = static_cast<const char *>(holder);
  return PageReadWrite(first) && PageReadWrite(first + sizeof(void *) - 1);
}

#else
#include <unistd.h>

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

// The holder's bytes are passed through a pipe of our own and back: the
// kernel copies them and answers with an error, instead of a fault, for an
// address that cannot be read (on the way out) or written (on the way back).
static bool HolderUsable(void *holder) {
  int fds[2];
  if (pipe(fds) != 0) return true;  // cannot tell: behave as before
  bool usable = write(fds[1], holder, sizeof(void *)) == static_cast<ssize_t>(sizeof(void *));
  if (usable) {
    usable = read(fds[0], holder, sizeof(void *)) == static_cast<ssize_t>(sizeof(void *));
  }
  close(fds[0]);
  close(fds[1]);
  return usable;
}
#endif

void *MemAlloc(size_t size) { return RawAlloc(size ? size : 1); }

void MemFree(void *holder) {
  // A holder that cannot be read and cleared is left alone, and so is its block.
  if (!holder || !HolderUsable(holder)) return;
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
