// The web browser: finding it from the HTML association and starting it.
#pragma once

#include <windows.h>

// The program that opens web pages, from the htm/html association (PATH_SIZE buffer).
int FindBrowser(char *buffer);
// Starts the browser on target ("%s \"%s\""); 0 when no browser is known.
int OpenInBrowser(const char *target);
