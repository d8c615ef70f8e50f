// Drawing the texts of a page in a view: each text measured in its font
// (scaled with the width of the view's page rectangle), rendered over the
// screen it covers, faded in when the view is entering, and its drawn extent
// written back when the view keeps extents.
#pragma once

#include <windows.h>

#include <cstdint>

#include "player/player_state.h"
#include "show/show_pages.h"

// One text of page in view, faded in when entering.
void DrawPageText(HDC dc, Page *page, PageView *view, int32_t textIndex);

// The face used when a text's own font cannot be created ("ＭＳ ゴシック").
extern const char *const FALLBACK_FACE_NAME;
