// The control ids of the parameter dialog of QUADRIL (QUADRIL.rc).
// Plain #defines: the resource compiler reads this file too.
#pragma once

#include "transitions/params_dialog_ids.h"

#define IDC_QUADRIL_SIZE_GROUP 1001
#define IDC_QUADRIL_WIDTH 1002
#define IDC_QUADRIL_HEIGHT 1003
#define IDC_QUADRIL_WAIT_GROUP 1004
