// nijimu ("滲む"): the new picture bleeds in cell by cell, from each cell's
// centre blown up to the whole cell down to 1:1.
#pragma once

#include "transitions/effect_defaults.h"
#include "transitions/nijimu/nijimu_ids.h"
#include "transitions/params_dialog.h"
#include "transitions/transition_params.h"


int NijimuRun(TransitionParams *params);
void NijimuDefaults(TransitionParams *params);
extern const EffectDialog NijimuDialog;
extern const char NijimuName[];
