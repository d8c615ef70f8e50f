// Clearing everything playback leaves in the process-wide records.
#include "player/play_scheduler.h"
#include "player/player_state.h"
#include "player/sound_player.h"
#include "shell/base/mem_block.h"
#include "show/show_document.h"

void ResetPlayback() {
  StopPlayback();
  ClearShowDocument(&Show);
  if (!Show.pages.pages) Show.pages.pages = static_cast<Page *>(MemAlloc(0));
  ClearPlayerState(&Player);
  Audio = SoundState{};
}
