// Page composition: loading a page's pictures at their size in a view, and
// painting a page into any device context at any size. The saver's monitors,
// the preview, the editor's canvas and every thumbnail go through these
// functions; nothing else draws a page. A paint is either the entering paint
// (straight onto the screen, layers brought in by the page's transition,
// texts faded in) or the plain paint (composed off screen, copied at once).
// Geometry is relative to the view's page rectangle (play_rules.h). The texts
// are page_text.h; sound and timing are elsewhere.
#pragma once

#include <windows.h>

#include <cstdint>

#include "player/picture_orient.h"
#include "player/player_state.h"
#include "show/show_pages.h"

// Reads a picture file into a new 24-bit image (a memory block), or null.
typedef void *(*PictureLoader)(const char *path);

// The player's own loader: the path expanded against the program folder,
// then the player's decoder; null when the file is missing or unreadable.
void *LoadPlayerPicture(const char *path);

// Frees the views' layer images and loads every picture of page once,
// scaled to its on-page size in each of the count views (load null: the
// player's loader). A page without pictures gets one plain layer of the page
// rectangle's size when its background flag is set. 0 when that plain layer
// cannot be made or memory runs out; a missing or unreadable picture only
// leaves its layer empty.
int PreparePageViews(const Page *page, PageView *const *views, int32_t count, PictureLoader load);
// Frees every layer image and the layer block of a view (count 0).
void FreePageViewLayers(PageView *view);
// Entering paint when view->entering is 1 (cleared when done), else the plain
// paint of the view's whole screen. 0 when nothing could be drawn.
int PaintPageView(HDC dc, Page *page, PageView *view);
// One layer with its orientation, transition (entering only) and shadow.
void DrawPictureLayer(HDC dc, const Page *page, PageView *view, int32_t layerIndex, int wholeWindow);
// The plain paint in one call: prepare, draw into dc at screen, free. For
// thumbnails, previews and anything else drawn once.
int RenderPage(HDC dc, Page *page, const RECT *screen, int32_t pageWidth, int32_t pageHeight, PictureLoader load);

// The saver's page: Player.view and every further monitor's view, for
// Show's page Player.currentPage.
// Frees the previous page's layers, has the current page's media extracted
// (LoadShow in LoadPageMedia mode), places the saver window's view on its
// client area for the show's page size and prepares every screen's view.
int PreparePage();
// PaintPageView of the current page in Player.view.
int PaintPage(HDC dc);
// Frees the layers of every screen's view.
void FreePageLayers();
