// The effects that tnsview and the effects benchmark can run, one entry per
// line of transitions/effect_list.txt.
#pragma once

#include "transitions/transition_params.h"

struct EffectEntry {
  const char *name;
  int (*run)(TransitionParams *);
  void (*defaults)(TransitionParams *);
};

extern const EffectEntry EffectTable[];
