// Sounds in the editor: whether a file is a sound (by its content: WAV, MP3,
// MIDI, WMA), its length, and playing one at a time (a voice or a music
// track) through MCI, to listen to it while editing.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// 1 when the file's first bytes are those of a sound the player plays.
int IsSoundContent(const std::wstring &path);
// The sound's length in milliseconds (remembered per path); 0 when unknown
// or the file is gone.
int32_t SoundLength(const std::string &cp932Path);
// Plays the file (CP932 path), stopping whatever played before; 0 when MCI
// cannot play it.
int PlaySoundFile(const std::string &cp932Path);
void StopSound();
// The CP932 path that plays now, "" when none.
const std::string &PlayingSound();
// Seconds as the editor shows them: "12" or "12.5".
std::wstring SecondsText(int32_t milliseconds);
