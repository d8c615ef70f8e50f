// The effects linked into tnsview.
#include "tools/tnsview/effect_table.h"

#include "transitions/nijimu/nijimu_effect.h"
#include "transitions/VELLUX/vellux_effect.h"
#include "transitions/diffuse/diffuse_effect.h"

const EffectEntry EffectTable[] = {
    {"nijimu", NijimuRun, NijimuDefaults},
    {"VELLUX", VelluxRun, VelluxDefaults},
    {"diffuse", DiffuseRun, DiffuseDefaults},
    {nullptr, nullptr, nullptr},
};
