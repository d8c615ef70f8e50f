#include "transitions/crt_random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "shell/base/mem_block.h"

// The C runtime's well-known sequence for seed 1.
TEST(CrtRandom, MatchesTheRuntimeSequenceForSeedOne) {
  const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464, 5705, 28145};
  CrtRandom r;
  CrtSeed(&r, 1);
  for (int value : expected) EXPECT_EQ(CrtRand(&r), value);
}

TEST(CrtRandom, ValuesStayBelow32768) {
  CrtRandom r;
  CrtSeed(&r, 0xFFFFFFFFu);
  for (int i = 0; i < 10000; ++i) {
    int v = CrtRand(&r);
    ASSERT_GE(v, 0);
    ASSERT_LE(v, 0x7FFF);
  }
}

// Worked by hand from the seed-1 sequence: draws (41, 18467, 6334, 26500) give
// v = 0x2329BE84, (19169, 15724, 11478, 29358) give 0x6CE1D6AE, and
// (26962, 24464, 5705, 28145) give 0x905249F1, a negative value whose
// magnitude is 1873655311.
TEST(ShuffleCells, TwoCellsSeedOne) {
  int32_t order[] = {0, 1};
  CrtRandom r;
  CrtSeed(&r, 1);
  ShuffleCells(order, 2, &r);  // i=0: j=0; i=1: j=0 -> swap
  EXPECT_EQ(order[0], 1);
  EXPECT_EQ(order[1], 0);
}

TEST(ShuffleCells, ThreeCellsSeedOneUsesTheMagnitudeOfANegativeDraw) {
  int32_t order[] = {0, 1, 2};
  CrtRandom r;
  CrtSeed(&r, 1);
  ShuffleCells(order, 3, &r);  // i=0: j=2 -> 2,1,0; i=1: j=1; i=2: j=1 -> 2,0,1
  EXPECT_EQ(order[0], 2);
  EXPECT_EQ(order[1], 0);
  EXPECT_EQ(order[2], 1);
}

TEST(ShuffleCells, IsAPermutationAndReproducible) {
  std::vector<int32_t> a(1000), b(1000);
  for (int i = 0; i < 1000; ++i) a[i] = b[i] = i;
  CrtRandom ra, rb;
  CrtSeed(&ra, 12345);
  CrtSeed(&rb, 12345);
  ShuffleCells(a.data(), 1000, &ra);
  ShuffleCells(b.data(), 1000, &rb);
  EXPECT_EQ(a, b);
  std::vector<int32_t> sorted = a;
  std::sort(sorted.begin(), sorted.end());
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(sorted[i], i);
  int moved = 0;
  for (int i = 0; i < 1000; ++i) moved += a[i] != i;
  EXPECT_GT(moved, 900);
}

TEST(ShuffleCells, SingleAndEmpty) {
  int32_t one[] = {0};
  CrtRandom r;
  CrtSeed(&r, 7);
  ShuffleCells(one, 1, &r);
  EXPECT_EQ(one[0], 0);
  ShuffleCells(nullptr, 0, &r);
}

// The order the cell effects visit their cells: the worked three-cell case
// above, as a fresh block.
TEST(ShuffledCellOrder, IdentityShuffledFromTheSeed) {
  int32_t *order = ShuffledCellOrder(3, 1);
  ASSERT_NE(order, nullptr);
  EXPECT_EQ(MemSize(order), 3 * sizeof(int32_t));
  EXPECT_EQ(order[0], 2);
  EXPECT_EQ(order[1], 0);
  EXPECT_EQ(order[2], 1);
  MemFreePtr(order);
}
