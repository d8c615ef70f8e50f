// The control ids of the parameter dialog of gray (gray.rc).
// Plain #defines: the resource compiler reads this file too.
#pragma once

#include "transitions/params_dialog_ids.h"

#define IDC_GRAY_WAIT_GROUP 1004
