// The player's view of the show's pages: the page it is showing. The pages
// themselves belong to the show (show/show_pages.h): the loader fills them,
// the player only reads them.
#pragma once

#include "show/show_pages.h"

// The page that Player.currentPage names in Show, or null when it names none.
Page *CurrentPage();
