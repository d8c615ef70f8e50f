// The web browser: finding it from the HTML association and starting it.
#pragma once

#include <windows.h>

// The program that opens web pages, from the htm/html association (PATH_SIZE buffer).
int FindBrowser(char *buffer);
// Starts the browser on a web address ("http://" or "https://", see
// IsWebAddress), program and address each quoted; 0, and nothing started,
// for any other target or when no browser is known.
int OpenInBrowser(const char *target);
// Starts the browser on a page file that the program built the path of itself
// (the help page), quoted; 0 when the path could break out of its quotes.
int OpenLocalPageInBrowser(const char *path);
