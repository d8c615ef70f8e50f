// The show's settings dialog: the author's link, the editing password (a
// confirming second entry; removal asked about first), the page size, the
// snap grid and the quality of pictures converted to JPEG, with the saver's
// estimated size beside each choice. OK makes every change as one step of
// the undo history.
#pragma once

#include <windows.h>

void RunShowSettings(HWND owner);
