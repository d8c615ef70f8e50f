// Centring a window over its owner. Built into the player and into every
// plug-in (their parameter dialogs), without the rest of the ground's Win32 part.
#pragma once

#include <windows.h>

// Centres window over owner (size and z-order unchanged), kept inside the work area.
void CenterOverOwner(HWND window, HWND owner);
