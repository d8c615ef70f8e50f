// The show's sounds as the editor offers them: the current page's voice
// (chosen in the open dialog, title 5150; played, stopped, removed) and the
// music list (several tracks at once, at most 20: 5300 at the 21st). Every
// change goes through the undo history.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

void ChooseVoiceCommand(HWND owner);
void PlayVoiceCommand();
void RemoveVoiceCommand();
void AddMusicCommand(HWND owner);
// Adds the files as music tracks, one change; files that are no sound are
// named with 5011. 5300 when the list is full. Returns how many were added.
int AddMusicFiles(HWND owner, const std::vector<std::wstring> &paths);
// The voice's text for the settings pane and the page list: "声 12.5 秒".
std::wstring VoiceText(int32_t milliseconds);
// The show's length as it plays: each page's time or its voice's, the longer.
int32_t ShowPlayLength();
