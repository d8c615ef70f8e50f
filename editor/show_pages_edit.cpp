#include "editor/show_pages_edit.h"

#include <cstring>

#include "editor/page_copy.h"
#include "shell/base/mem_block.h"

int InsertPage(PageArray *pages, int32_t index, const Page *page) {
  if (index < 0 || index > pages->pageCount) return 0;
  auto *grown = static_cast<Page *>(MemRealloc(pages->pages, size_t(pages->pageCount + 1) * sizeof(Page)));
  if (!grown) return 0;
  pages->pages = grown;
  memmove(&grown[index + 1], &grown[index], size_t(pages->pageCount - index) * sizeof(Page));
  grown[index] = *page;
  pages->pageCount += 1;
  pages->selectedPage = index;
  return 1;
}

int InsertNewPage(PageArray *pages, int32_t index) {
  if (index < 0 || index > pages->pageCount) return 0;
  PageArray fresh = {static_cast<Page *>(MemAlloc(0)), 0, -1};
  if (!fresh.pages) return 0;
  if (!EnsurePages(&fresh, 1, 0)) {
    MemFreePtr(fresh.pages);
    return 0;
  }
  Page page = fresh.pages[0];
  MemFreePtr(fresh.pages);
  if (!InsertPage(pages, index, &page)) {
    FreePage(&page);
    return 0;
  }
  return 1;
}

int DuplicatePage(PageArray *pages, int32_t index) {
  if (index < 0 || index >= pages->pageCount) return 0;
  Page copy;
  if (!CopyPage(&copy, &pages->pages[index])) return 0;
  if (!InsertPage(pages, index + 1, &copy)) {
    FreePage(&copy);
    return 0;
  }
  return 1;
}

int DeletePage(PageArray *pages, int32_t index) {
  if (pages->pageCount <= 1) return 0;
  return RemovePage(pages, index, 0);
}

int MovePage(PageArray *pages, int32_t from, int32_t to) {
  if (from < 0 || from >= pages->pageCount || to < 0 || to >= pages->pageCount) return 0;
  if (from == to) return 1;
  Page moving = pages->pages[from];
  if (from < to) memmove(&pages->pages[from], &pages->pages[from + 1], size_t(to - from) * sizeof(Page));
  else memmove(&pages->pages[to + 1], &pages->pages[to], size_t(from - to) * sizeof(Page));
  pages->pages[to] = moving;
  pages->selectedPage = to;
  return 1;
}

int ApplyTransitionToAll(PageArray *pages, int32_t source) {
  if (source < 0 || source >= pages->pageCount) return 0;
  const Page &from = pages->pages[source];
  for (int32_t i = 0; i < pages->pageCount; ++i) {
    Page &page = pages->pages[i];
    page.transitionId = from.transitionId;
    page.transitionWait = from.transitionWait;
    memmove(page.transitionParams, from.transitionParams, TRANSITION_PARAMS_SIZE);
  }
  return 1;
}

int TakeTurns(PageArray *pages, const TransitionChoice *choices, int32_t count) {
  if (count < 1) return 0;
  for (int32_t i = 0; i < pages->pageCount; ++i) {
    Page &page = pages->pages[i];
    const TransitionChoice &choice = choices[i % count];
    page.transitionId = choice.id;
    page.transitionWait = choice.wait;
    for (int k = 0; k < 20; ++k) PutInt32(page.transitionParams + 4 * k, choice.words[k]);
  }
  return 1;
}
