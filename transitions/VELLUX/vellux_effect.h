// VELLUX ("徐々に"): the new picture builds up in passes of ever finer bands,
// each band stretched from a single line of the new picture.
#pragma once

#include "transitions/effect_defaults.h"
#include "transitions/VELLUX/vellux_ids.h"
#include "transitions/params_dialog.h"
#include "transitions/transition_params.h"

int VelluxRun(TransitionParams *params);
void VelluxDefaults(TransitionParams *params);
extern const EffectDialog VelluxDialog;
extern const char VelluxName[];
