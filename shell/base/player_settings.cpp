// Reading and writing the stored form of the playback switches.
#include "shell/base/player_settings.h"

#include <cstdio>


void ParsePlayerSettings(const char *value, PlayerSettings *settings) {
  int *flags[4] = {&settings->noTransition, &settings->noSound, &settings->noBgm, &settings->noTextAnimation};
  bool ended = !value;
  for (int k = 0; k < 4; ++k) {
    if (!ended && !value[k]) ended = true;
    *flags[k] = !ended && value[k] != '0' ? 1 : 0;
  }
}

void FormatPlayerSettings(const PlayerSettings *settings, char *out) {
  snprintf(out, 5, "%d%d%d%d", settings->noTransition ? 1 : 0, settings->noSound ? 1 : 0, settings->noBgm ? 1 : 0,
           settings->noTextAnimation ? 1 : 0);
}
