// The table of effect defaults and dialog ranges, and the checks on it.
// The speed slider runs from 0 to 100; every dialog but diffuse's stores
// the position plus one.
#include "transitions/effect_defaults.h"

#include <cstdio>
#include <cstring>

const EffectDefaults EFFECT_TABLE[EFFECT_COUNT] = {
    {"nijimu", 1, 1, 101, 1, {{0, "cell size", 64, NIJIMU_MIN_CELL, NIJIMU_MAX_CELL}}},
    {"QUADRIL", 10, 1, 101, 2,
     {{0, "rectangle width", 128, 1, QUADRIL_MAX_SIDE}, {1, "rectangle height", 128, 1, QUADRIL_MAX_SIDE}}},
    {"melt", 30, 1, 101, 1, {{0, "direction (0 columns, 1 rows)", 0, 0, 1}}},
    {"gray", 20, 1, 101, 0, {}},
    {"VELLUX", 1, 1, 101, 1, {{0, "direction (1 columns, 0 rows)", 1, 0, 1}}},
    {"diffuse", 50, 0, 100, 1, {{DIFFUSE_PATTERN_WORD, "pattern (0 clockwise, 1 counter-clockwise)", 0, 0, 1}}},
};

static char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

const EffectDefaults *FindEffect(const char *name) {
  if (!name) return nullptr;
  for (const EffectDefaults &effect : EFFECT_TABLE) {
    size_t i = 0;
    while (effect.name[i] && Lower(effect.name[i]) == Lower(name[i])) ++i;
    if (!effect.name[i] && !name[i]) return &effect;
  }
  return nullptr;
}

void ApplyEffectDefaults(EffectKind kind, int32_t *wait, int32_t words[EFFECT_WORD_COUNT]) {
  const EffectDefaults &effect = EFFECT_TABLE[kind];
  memset(words, 0, EFFECT_WORD_COUNT * sizeof(int32_t));
  *wait = effect.wait;
  for (int k = 0; k < effect.wordCount; ++k) words[effect.words[k].index] = effect.words[k].value;
}

int CheckEffectValues(const EffectDefaults *effect, int32_t wait, const int32_t words[EFFECT_WORD_COUNT], int *bad,
                      char *message, size_t size) {
  *bad = -1;
  if (wait < effect->waitLow || wait > effect->waitHigh) {
    snprintf(message, size, "%s's wait must be between %d and %d, not %d", effect->name, int(effect->waitLow),
             int(effect->waitHigh), int(wait));
    return 0;
  }
  for (int i = 0; i < EFFECT_WORD_COUNT; ++i) {
    const EffectWord *used = nullptr;
    for (int k = 0; k < effect->wordCount; ++k)
      if (effect->words[k].index == i) used = &effect->words[k];
    *bad = i;
    if (!used && words[i] != 0) {
      snprintf(message, size, "%s does not use word %d (words count from 0): it must be 0, not %d", effect->name, i,
               int(words[i]));
      return 0;
    }
    if (used && (words[i] < used->low || words[i] > used->high)) {
      snprintf(message, size, "%s word %d, the %s, must be between %d and %d, not %d", effect->name, i, used->name,
               int(used->low), int(used->high), int(words[i]));
      return 0;
    }
  }
  return 1;
}
