// The six effects' defaults and the values their parameter dialogs can
// store, in one table. Each plug-in's GetTransisionDefaultParams reads its
// row; the authoring tool reads the same rows to fill what a manifest leaves
// out and to refuse values that no dialog would store. Portable: no Windows
// headers, so the native tool compiles it too.
#pragma once

#include <cstddef>
#include <cstdint>

enum { EFFECT_WORD_COUNT = 20, EFFECT_WORD_MAX = 2 };

// The effects in the order the folder command lets them take turns.
enum EffectKind { EFFECT_NIJIMU, EFFECT_QUADRIL, EFFECT_MELT, EFFECT_GRAY, EFFECT_VELLUX, EFFECT_DIFFUSE, EFFECT_COUNT };

// Word positions and limits the effects' own code needs as well.
enum {
  NIJIMU_MIN_CELL = 4,
  NIJIMU_MAX_CELL = 64,
  DIFFUSE_PATTERN_WORD = 3,
  // QUADRIL's dialog accepts rectangles up to the screen's width and height;
  // without a screen at hand, the largest side counted is a 16K screen's.
  QUADRIL_MAX_SIDE = 16384,
};

// One parameter word that an effect's dialog sets.
struct EffectWord {
  int index;         // position in effectParams
  const char *name;  // what the word means, for messages
  int32_t value;     // default
  int32_t low, high; // what the dialog can store
};

struct EffectDefaults {
  const char *name;  // the plug-in's file name without ".tns"
  int32_t wait;      // default speed value
  int32_t waitLow, waitHigh;
  int wordCount;
  EffectWord words[EFFECT_WORD_MAX];
};

extern const EffectDefaults EFFECT_TABLE[EFFECT_COUNT];

// The row whose name equals name (ASCII letters in either case), or null.
const EffectDefaults *FindEffect(const char *name);

// Zeroes the 20 words, then sets wait and the effect's words to its defaults.
void ApplyEffectDefaults(EffectKind kind, int32_t *wait, int32_t words[EFFECT_WORD_COUNT]);

// 1 when wait and every word are values the effect's dialog can store (the
// words it does not use are 0). Otherwise 0, with a message naming the value
// and the range allowed; bad receives the word at fault, -1 for wait.
int CheckEffectValues(const EffectDefaults *effect, int32_t wait, const int32_t words[EFFECT_WORD_COUNT], int *bad,
                      char *message, size_t size);
