// The process-wide player record.
#include "player/player_state.h"

#include <cstring>

PlayerState Player;

void ClearPlayerState(PlayerState *state) { memset(state, 0, sizeof *state); }
