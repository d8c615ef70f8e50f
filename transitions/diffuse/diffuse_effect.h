// diffuse ("クロック"): a clock wipe. A ray from the centre of destRect sweeps
// once around from twelve o'clock and the sector it has passed shows the new
// picture. It always works on destRect (wholeWindow and backColor do not
// matter) and its dialog stores the slider position as wait itself.
#pragma once

#include "transitions/effect_defaults.h"
#include "transitions/diffuse/diffuse_ids.h"
#include "transitions/params_dialog.h"
#include "transitions/transition_params.h"

int DiffuseRun(TransitionParams *params);
void DiffuseDefaults(TransitionParams *params);
extern const EffectDialog DiffuseDialog;
extern const char DiffuseName[];
