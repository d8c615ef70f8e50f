// The C runtime's linear congruential random generator, as our own small
// function so that an effect's random order is reproducible for a given seed:
// state = state * 214013 + 2531011, each draw yields bits 16..30.
#pragma once

#include <cstdint>

struct CrtRandom {
  uint32_t state;
};

inline void CrtSeed(CrtRandom *r, uint32_t seed) { r->state = seed; }

inline int CrtRand(CrtRandom *r) {
  r->state = r->state * 214013u + 2531011u;
  return static_cast<int>((r->state >> 16) & 0x7FFF);
}

// Shuffles order[0..count) the way every cell-based effect does: each
// position is exchanged with one drawn from the whole array.
void ShuffleCells(int32_t *order, int32_t count, CrtRandom *random);

// The order in which a cell-based effect visits count cells: a memory block
// of the indexes 0..count - 1 shuffled by ShuffleCells from seed. Null when
// memory runs out; the caller frees it with MemFree.
int32_t *ShuffledCellOrder(int32_t count, uint32_t seed);
