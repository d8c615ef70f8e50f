// gray ("グレイ"): the old content of the destination rectangle fades into a
// flat middle grey, then the new picture comes out of that grey.
#pragma once

#include "transitions/effect_defaults.h"
#include "transitions/gray/gray_ids.h"
#include "transitions/params_dialog.h"
#include "transitions/transition_params.h"


int GrayRun(TransitionParams *params);
void GrayDefaults(TransitionParams *params);
extern const EffectDialog GrayDialog;
extern const char GrayName[];
