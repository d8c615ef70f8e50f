// The effects linked into tnsview.
#include "tools/tnsview/effect_table.h"

#include "transitions/nijimu/nijimu_effect.h"

const EffectEntry EffectTable[] = {
    {"nijimu", NijimuRun, NijimuDefaults},
    {nullptr, nullptr, nullptr},
};
