// Page composition: preparing the current page's picture layers once per page
// change, and painting the page from them, either the entering paint (straight
// onto the screen, layers brought in by the page's transition, texts faded in)
// or the plain paint (composed off screen, copied at once). Geometry is
// relative to the client size W x H of Player.playerWindow, whatever the
// device context. The texts are page_text.h; sound and timing are elsewhere.
#pragma once

#include <windows.h>

#include <cstdint>

#include "player/picture_orient.h"

// Frees the layer images of the previous page, has the current page's media
// extracted (LoadShow in LoadPageMedia mode), and loads every picture scaled
// to its on-page size; a page without pictures gets one plain layer of the
// client size when its background flag is set. 0 when the media cannot be
// extracted or the plain layer cannot be made; a missing or unreadable
// picture only leaves its layer empty.
int PreparePage();
// Entering paint when Player.pageEntering is 1 (cleared when done), else the
// plain paint. 0 when nothing could be drawn.
int PaintPage(HDC dc);
// One layer with its orientation, transition (entering only) and shadow.
void DrawPictureLayer(HDC dc, int32_t layerIndex, int wholeWindow);
// Frees every layer image and the layer block (count 0).
void FreePageLayers();
