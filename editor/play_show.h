// Playing the show as the saver will: F5 writes the show, from the current
// page on, into a temporary saver file beside the editor's temp folder and
// runs it full screen; any key ends it and the editor comes back. The file
// is removed when the saver ends. The transition preview on the canvas.
#pragma once

#include <windows.h>

void PlayFromCurrentPage(HWND window);
// "Preview": the current page's transition on the canvas, from the previous
// page to this one.
void PreviewTransition();
