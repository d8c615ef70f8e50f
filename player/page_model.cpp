// The page being shown.
#include "player/page_model.h"

#include "player/player_state.h"
#include "show/show_document.h"

Page *CurrentPage() {
  const PageArray &pages = Show.pages;
  if (!pages.pages || Player.currentPage < 0 || Player.currentPage >= pages.pageCount) return nullptr;
  return &pages.pages[Player.currentPage];
}
