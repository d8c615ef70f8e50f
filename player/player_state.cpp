// The process-wide player record.
#include "player/player_state.h"

#include <cstring>

#include "player/play_rules.h"

PlayerState Player;

void ClearPlayerState(PlayerState *state) { memset(state, 0, sizeof *state); }

void SetPageView(PageView *view, PlayerWindowHandle window, const RECT *screen, int32_t pageWidth,
                 int32_t pageHeight) {
  view->window = window;
  view->screen = *screen;
  FitPageRect(pageWidth, pageHeight, screen, &view->page);
}
