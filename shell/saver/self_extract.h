// Self-extraction, the first phase of start-up: the show data behind the
// boundary marker of the program's own file, written to the show temp file.
#pragma once

#include <windows.h>

// Finds the show data in the program's own file and writes it to the show
// temp file; records the start-up state. 1 on success, 0 otherwise.
int ExtractShowData(HWND window);
