// No work lost: while the show has unsaved changes it is written every two
// minutes (VK_AUTOSAVE_MS in the environment sets another interval, for
// tests) and whenever another page becomes the current one, as a working
// file in the user's application-data folder, %LOCALAPPDATA%\VORMKIT\Recovery.
// Each run holds a lock file there while it lives; at the next
// start a recovery file without a living owner is offered back: restored,
// the show is as it was at its last autosave; declined, the file is
// removed. A clean exit leaves none.
#pragma once

#include <windows.h>

#include <cstdint>

constexpr UINT_PTR AUTOSAVE_TIMER_ID = 7;

// Starts the autosave timer on the main window.
void StartAutosave(HWND window);
// Writes the recovery file now when there are unsaved changes (removes it
// when there are none).
void Autosave();
// The current page is another one than at the last call: autosave.
void AutosaveOnPageChange(int32_t page);
// At start-up: offers each recovery file that no running editor owns.
void OfferRecovery(HWND owner);
// At a clean exit: removes this run's recovery file and its lock.
void RemoveRecovery();
