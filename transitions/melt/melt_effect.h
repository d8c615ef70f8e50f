// melt ("溶ける"): the area as one-pixel columns (or rows); lines picked at
// random push their old content onward by a random length and let the same
// length of the new picture run in behind it, until every line is full.
#pragma once

#include <cstdint>

#include "transitions/effect_defaults.h"
#include "transitions/melt/melt_ids.h"
#include "transitions/params_dialog.h"
#include "transitions/transition_params.h"
enum { MELT_COLUMNS = 0, MELT_ROWS = 1 };

int MeltRun(TransitionParams *params);
void MeltDefaults(TransitionParams *params);
// The base step for a speed value: 21 - (wait x 20) div 101, at least 1.
int32_t MeltBaseStep(int32_t wait);
extern const EffectDialog MeltDialog;
extern const char MeltName[];
