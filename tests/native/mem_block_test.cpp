#include "shell/base/mem_block.h"

#include <gtest/gtest.h>

#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

TEST(MemBlock, AllocIsZeroedAndSized) {
  auto *p = static_cast<unsigned char *>(MemAlloc(100));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(MemSize(p), 100u);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(p[i], 0) << i;
  MemFreePtr(p);
  EXPECT_EQ(p, nullptr);
}

TEST(MemBlock, ZeroBytesGivesOne) {
  void *p = MemAlloc(0);
  EXPECT_EQ(MemSize(p), 1u);
  MemFree(&p);
}

TEST(MemBlock, FreeToleratesNullHolderAndNullPointer) {
  MemFree(nullptr);
  void *p = nullptr;
  MemFree(&p);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(MemSize(nullptr), 0u);
}

TEST(MemBlock, ReallocKeepsPrefixAndZeroesGrowth) {
  auto *p = static_cast<unsigned char *>(MemAlloc(4));
  memcpy(p, "abcd", 4);
  auto *q = static_cast<unsigned char *>(MemRealloc(p, 8));
  ASSERT_NE(q, nullptr);
  EXPECT_EQ(MemSize(q), 8u);
  EXPECT_EQ(memcmp(q, "abcd\0\0\0\0", 8), 0);
  auto *r = static_cast<unsigned char *>(MemRealloc(q, 2));
  EXPECT_EQ(MemSize(r), 2u);
  EXPECT_EQ(memcmp(r, "ab", 2), 0);
  EXPECT_EQ(MemRealloc(r, 2), r) << "same size keeps the block";
  MemFreePtr(r);
}

TEST(MemBlock, ReallocOfNullAllocates) {
  void *p = MemRealloc(nullptr, 0);
  EXPECT_EQ(MemSize(p), 1u);
  MemFree(&p);
}

TEST(MemBlock, ChunkedRoundsUpToChunk) {
  void *p = MemReallocChunked(nullptr, 0, 65536);
  EXPECT_EQ(MemSize(p), 65536u);
  p = MemReallocChunked(p, 65537, 65536);
  EXPECT_EQ(MemSize(p), 131072u);
  p = MemReallocChunked(p, 131072, 65536);
  EXPECT_EQ(MemSize(p), 131072u);
  MemFree(&p);
}

TEST(MemBlock, DupCopiesContents) {
  auto *p = static_cast<char *>(MemAlloc(5));
  memcpy(p, "hello", 5);
  auto *d = static_cast<char *>(MemDup(p));
  ASSERT_NE(d, nullptr);
  EXPECT_NE(d, p);
  EXPECT_EQ(MemSize(d), 5u);
  EXPECT_EQ(memcmp(d, "hello", 5), 0);
  EXPECT_EQ(MemDup(nullptr), nullptr);
  MemFreePtr(p);
  MemFreePtr(d);
}

namespace {
// Two adjacent pages of the system's own memory, the first readable and
// writable; the second and the first's protection are set by the test.
struct TwoPages {
  char *base;
  size_t page;
  TwoPages() {
#ifdef _WIN32
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    page = info.dwPageSize;
    base = static_cast<char *>(VirtualAlloc(nullptr, 2 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
#else
    page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    void *p = mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    base = p == MAP_FAILED ? nullptr : static_cast<char *>(p);
#endif
  }
  ~TwoPages() {
#ifdef _WIN32
    VirtualFree(base, 0, MEM_RELEASE);
#else
    munmap(base, 2 * page);
#endif
  }
  void NoAccess(char *at) {
#ifdef _WIN32
    DWORD old;
    VirtualProtect(at, page, PAGE_NOACCESS, &old);
#else
    mprotect(at, page, PROT_NONE);
#endif
  }
  void ReadOnly(char *at) {
#ifdef _WIN32
    DWORD old;
    VirtualProtect(at, page, PAGE_READONLY, &old);
#else
    mprotect(at, page, PROT_READ);
#endif
  }
};
}  // namespace

TEST(MemBlock, FreeOfAnUnusableHolderDoesNothing) {
  TwoPages pages;
  ASSERT_NE(pages.base, nullptr);
  char *second = pages.base + pages.page;
  pages.NoAccess(second);
  MemFree(second);  // a holder that cannot be read
  // A holder that starts on the readable page and ends on the other one.
  MemFree(second - sizeof(void *) / 2);

  // A holder that can be read but not written keeps its pointer and its block.
  void *block = MemAlloc(32);
  memcpy(pages.base, &block, sizeof block);
  pages.ReadOnly(pages.base);
  MemFree(pages.base);
  void *kept;
  memcpy(&kept, pages.base, sizeof kept);
  EXPECT_EQ(kept, block);
  EXPECT_EQ(MemSize(block), 32u) << "the block is not freed behind a holder that cannot be cleared";
  MemFree(&block);
  EXPECT_EQ(block, nullptr);
}
