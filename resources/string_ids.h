// The ids of the string table (strings.rc) that the code loads. Plain
// #defines: the resource compiler reads this file too. The table's other
// strings belong to the authoring side and keep their numbers there.
#pragma once

#define IDS_INI_FILE 1001
#define IDS_NO_HELP_MEMORY 1008
#define IDS_HELP_FILE 1009
#define IDS_WINDOW_CREATE_FAILED 5009
#define IDS_LOAD_FAILED 5010
#define IDS_DISPLAY_TOO_SHALLOW 5015
#define IDS_WRONG_PASSWORD 5020
#define IDS_PICTURE_MOVED 5106
#define IDS_PASSWORD_PROMPT 5155
