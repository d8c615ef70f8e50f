// Deep copies of pages and of a whole show's records: the undo history keeps
// such copies, duplicating a page makes one, and the clipboard holds copied
// records. A copy owns its own record blocks and text buffers. Previews are
// pixels and never copied: they are made again when the show is saved.
#pragma once

#include <cstddef>

#include "show/show_document.h"

// Fills dst (whose old contents are not looked at) with a copy of src
// without its preview. 0 when memory runs out (dst then owns nothing).
int CopyPage(Page *dst, const Page *src);
// Frees what a page owns and zeroes it.
void FreePage(Page *page);
// A copy of the whole show without previews into dst, which must be empty
// (zeroed, or cleared by FreeShowCopy). 0 when memory runs out.
int CopyShow(ShowDocument *dst, const ShowDocument *src);
// Frees every page of a copy and zeroes it.
void FreeShowCopy(ShowDocument *show);
// The bytes a copy of the show holds (records, text buffers, the fixed part).
size_t ShowCopyBytes(const ShowDocument *show);
// 1 when both shows hold the same records, texts and settings (previews and
// the text records' extents, which drawing rewrites, are not compared).
int SameShowRecords(const ShowDocument *a, const ShowDocument *b);
