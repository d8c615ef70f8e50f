// The control ids of the parameter dialog of VELLUX (VELLUX.rc).
// Plain #defines: the resource compiler reads this file too.
#pragma once

#include "transitions/params_dialog_ids.h"

#define IDC_VELLUX_VERTICAL 1003
#define IDC_VELLUX_HORIZONTAL 1004
