// The control ids of the parameter dialog of nijimu (nijimu.rc).
// Plain #defines: the resource compiler reads this file too.
#pragma once

#include "transitions/params_dialog_ids.h"

#define IDC_NIJIMU_CELL 1002
