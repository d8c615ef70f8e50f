// Start-up and shutdown of a show: from the program file to a playable show,
// and back to nothing left in the temp folder.
#pragma once

#include <windows.h>

// Extraction, loading, plug-ins, cursors, shadow tiles, settings. 1 when a
// show is loaded and ready; on 0 the caller closes the window.
int SaverStartUp(HWND window);
// 1 when start-up got past its display check for this window (it then owns
// what start-up made, even if a later step failed); the window's
// destruction then runs the shutdown.
int SaverStartedIn(HWND window);
// Unloads the plug-ins, deletes every extracted file, the media folder and
// the show temp file, frees the pages and tiles, clears the main window.
// Tolerates a failed or partial start-up.
void SaverCleanUp();

// The profile value "setting" in the section named by the program's file name.
void ReadPlayerSettings();
void WritePlayerSettings();
