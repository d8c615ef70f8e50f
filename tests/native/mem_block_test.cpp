#include "shell/base/mem_block.h"

#include <gtest/gtest.h>

#include <cstring>

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
