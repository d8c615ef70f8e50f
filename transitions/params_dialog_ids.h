// The control ids that every plug-in's "SETPARAMSDIALOG" shares: the speed
// scroll bar and, unless the effect names another, the group box that shows
// the speed. Plain #defines: the resource compiler reads this file too.
#pragma once

#define IDC_WAIT_SCROLL 1000
#define IDC_WAIT_GROUP 1001
