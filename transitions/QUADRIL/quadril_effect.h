// QUADRIL ("ジワリ"): the area is cut into a grid of rectangles, and one
// rectangle after another, in a shuffled order, cross-fades from the old
// screen content into the new picture.
#pragma once

#include "transitions/effect_defaults.h"
#include "transitions/QUADRIL/quadril_ids.h"
#include "transitions/params_dialog.h"
#include "transitions/transition_params.h"


int QuadrilRun(TransitionParams *params);
void QuadrilDefaults(TransitionParams *params);
// Cross-fade frames per rectangle for a speed value: (wait + 1) x 10.
int QuadrilFrames(int32_t wait);
// The value the dialog accepts for a typed number (read unsigned) and a
// screen side: 1 for 0 or a negative signed value, the side above it.
int32_t QuadrilAllowedSide(UINT typed, int32_t screenSide);
extern const EffectDialog QuadrilDialog;
extern const char QuadrilName[];
