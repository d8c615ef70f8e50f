// The process-wide show.
#include "show/show_document.h"

#include <cstring>

ShowDocument Show;

void ClearShowDocument(ShowDocument *show) {
  DropAllPages(&show->pages, &show->bgmPaths);
  Page *pages = show->pages.pages;
  memset(show, 0, sizeof *show);
  show->pages.pages = pages;
}
