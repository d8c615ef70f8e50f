// Window placement (center_window.cpp) and the web browser (system_ops.cpp).
#pragma once

#include <windows.h>

// Centres window over owner (size and z-order unchanged), kept inside the work area.
void CenterOverOwner(HWND window, HWND owner);
// The program that opens web pages, from the htm/html association (PATH_SIZE buffer).
int FindBrowser(char *buffer);
// Starts the browser on target ("%s \"%s\""); 0 when no browser is known.
int OpenInBrowser(const char *target);
