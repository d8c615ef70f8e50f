// The control ids of the parameter dialog of diffuse (diffuse.rc): the pattern
// buttons are a run of ids from the first to the last.
// Plain #defines: the resource compiler reads this file too.
#pragma once

#include "transitions/params_dialog_ids.h"

#define IDC_DIFFUSE_FIRST_PATTERN 1010
#define IDC_DIFFUSE_SECOND_PATTERN 1011
#define IDC_DIFFUSE_LAST_PATTERN 1017
