// Our own screen-saver framework, in place of the SDK's static screen-saver
// library: the process entry, the command-line modes, the saver window of
// class "WindowsScreenSaverClass" and DefScreenSaverProc. The program
// supplies ScreenSaverProc, ScreenSaverConfigureDialog and RegisterDialogClasses.
#pragma once

#include <windows.h>

#include "resources/vormkit_ids.h"  // DLG_SCRNSAVECONFIGURE

// Supplied by the program.
LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
BOOL WINAPI RegisterDialogClasses(HANDLE instance);

// Supplied by the framework: what every saver window message ends in. In the
// full-screen window a key, a button, mouse movement beyond a few pixels or
// deactivation closes the window; in the preview nothing does.
LRESULT WINAPI DefScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

struct SaverFramework {
  HINSTANCE instance;
  HWND window;
  BOOL childPreview;  // the saver window is the preview child of the display settings
  POINT mouseStart;
  BOOL mouseKnown;
};
extern SaverFramework Framework;

// Pixels the mouse may move in the full-screen window before the show ends.
enum { SAVER_MOUSE_THRESHOLD = 4 };
