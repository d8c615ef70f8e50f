// Drawing the texts of the current page: each text measured in its font
// (scaled with the client width), rendered over the screen it covers, faded
// in when the page is entering, and its drawn extent written back.
#pragma once

#include <windows.h>

#include <cstdint>

// One text of the current page, faded in when entering; writes the drawn
// extent back into the text record.
void DrawPageText(HDC dc, int32_t textIndex);

// The face used when a text's own font cannot be created ("ＭＳ ゴシック").
extern const char *const FALLBACK_FACE_NAME;
