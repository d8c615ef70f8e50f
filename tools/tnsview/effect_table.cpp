// The effects linked into tnsview.
#include "tools/tnsview/effect_table.h"

#include "transitions/QUADRIL/quadril_effect.h"
#include "transitions/gray/gray_effect.h"
#include "transitions/melt/melt_effect.h"
#include "transitions/nijimu/nijimu_effect.h"
#include "transitions/VELLUX/vellux_effect.h"
#include "transitions/diffuse/diffuse_effect.h"

const EffectEntry EffectTable[] = {
    {"nijimu", NijimuRun, NijimuDefaults},
    {"QUADRIL", QuadrilRun, QuadrilDefaults}, {"melt", MeltRun, MeltDefaults}, {"gray", GrayRun, GrayDefaults},
    {"VELLUX", VelluxRun, VelluxDefaults},
    {"diffuse", DiffuseRun, DiffuseDefaults},
    {nullptr, nullptr, nullptr},
};
