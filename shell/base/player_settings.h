// The four playback switches as stored in the user profile: value "setting"
// in the section named by the saver file's name, written as "%d%d%d%d" in the
// order noTransition, noSound, noBgm, noTextAnimation ("0000": all on).
#pragma once

// 0: that part of playback is on (the default); 1: off.
struct PlayerSettings {
  int noTransition;
  int noSound;
  int noBgm;
  int noTextAnimation;
};

// Position k sets its switch exactly when the character there is not '0'.
// A missing position (a value shorter than four characters) leaves its
// switch at 0, the default.
void ParsePlayerSettings(const char *value, PlayerSettings *settings);
// "%d%d%d%d" into a buffer of at least 5 bytes.
void FormatPlayerSettings(const PlayerSettings *settings, char *out);
