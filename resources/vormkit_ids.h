// The ids of the player's own resources (vormkit.rc): the settings dialog of
// the screen-saver framework and its controls. Plain #defines: the resource
// compiler reads this file too.
#pragma once

#define DLG_SCRNSAVECONFIGURE 2003
#define IDC_TRANSITION 5830
#define IDC_SOUND 5831
#define IDC_BGM 5832
#define IDC_LINK 5834
#define IDC_TEXT_ANIMATION 5835
