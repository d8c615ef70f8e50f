// VELLUX ("徐々に"): the new picture builds up in passes of ever finer bands,
// each band stretched from a single line of the new picture.
#pragma once

#include "transitions/effect_defaults.h"
#include "transitions/params_dialog.h"
#include "transitions/transition_params.h"

enum { IDC_VELLUX_VERTICAL = 1003, IDC_VELLUX_HORIZONTAL = 1004 };

int VelluxRun(TransitionParams *params);
void VelluxDefaults(TransitionParams *params);
extern const EffectDialog VelluxDialog;
extern const char VelluxName[];
