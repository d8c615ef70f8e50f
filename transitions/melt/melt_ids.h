// The control ids of the parameter dialog of melt (melt.rc).
// Plain #defines: the resource compiler reads this file too.
#pragma once

#include "transitions/params_dialog_ids.h"

#define IDC_MELT_COLUMNS 1003
#define IDC_MELT_ROWS 1004
