// The editor's operations on a show's page list: inserting a new page,
// duplicating, deleting and reordering pages, and the page's own settings.
// Free functions over the page array; 1 or 0 (index out of range, the only
// page, or memory exhausted: nothing changed). The selected page follows.
#pragma once

#include <cstdint>

#include "show/show_pages.h"

// A new page with the defaults of a new page (black, background flag 1,
// 10000 ms, nothing on it, no transition) at index (0 .. pageCount).
int InsertNewPage(PageArray *pages, int32_t index);
// A copy of page index (without its preview) right after it.
int DuplicatePage(PageArray *pages, int32_t index);
// Removes page index; the only page of a show is never removed.
int DeletePage(PageArray *pages, int32_t index);
// Moves page from to position to (both 0 .. pageCount - 1); the pages
// between close up.
int MovePage(PageArray *pages, int32_t from, int32_t to);
// Places a page that the caller filled (its blocks now belong to the
// array) at index.
int InsertPage(PageArray *pages, int32_t index, const Page *page);

// Every page takes the transition of page source (identifier, speed, words).
int ApplyTransitionToAll(PageArray *pages, int32_t source);

// One transition as a page stores it.
struct TransitionChoice {
  int32_t id;  // the plug-in's checksum; 0 for none
  int32_t wait;
  int32_t words[20];
};
// The transitions take turns over the pages: page i gets choices[i % count].
int TakeTurns(PageArray *pages, const TransitionChoice *choices, int32_t count);
