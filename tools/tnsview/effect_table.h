// The effects that tnsview can run: one line per effect.
#pragma once

#include "transitions/transition_params.h"

struct EffectEntry {
  const char *name;
  int (*run)(TransitionParams *);
  void (*defaults)(TransitionParams *);
};

extern const EffectEntry EffectTable[];
