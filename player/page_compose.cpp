// Preparing a page's picture layers for its views and painting pages and
// pictures into any device context.
#include "player/page_compose.h"

#include <cstring>

#include "player/layer_transition.h"
#include "player/page_model.h"
#include "player/page_text.h"
#include "player/play_rules.h"
#include "player/player_screens.h"
#include "raster/dib.h"
#include "shell/base/file_ops.h"
#include "shell/base/mem_block.h"
#include "shell/base/startup_state.h"
#include "show/show_document.h"
#include "show/show_loader.h"

namespace {

void *LayerAt(const PageView *view, int32_t index) {
  if (index < 0 || index >= view->layers.count || !view->layers.images) return nullptr;
  return view->layers.images[index];
}

void FreeLayerImages(PageView *view) {
  if (!view->layers.images) return;
  for (int32_t i = 0; i < view->layers.count; ++i) MemFree(&view->layers.images[i]);
}

int ImageSize(const void *dib, int32_t *width, int32_t *height) {
  SIZE size;
  if (!DibGetSize(dib, &size)) return 0;
  *width = size.cx;
  *height = size.cy;
  return 1;
}

int32_t RectWidth(const RECT &r) { return r.right - r.left; }
int32_t RectHeight(const RECT &r) { return r.bottom - r.top; }

void FillArea(HDC dc, const RECT &area, COLORREF colour) {
  if (area.right <= area.left || area.bottom <= area.top) return;
  HBRUSH brush = CreateSolidBrush(colour);
  if (!brush) return;
  FillRect(dc, &area, brush);
  DeleteObject(brush);
}

// The parts of the screen around the page rectangle.
void FillMargins(HDC dc, const PageView &view, COLORREF colour) {
  const RECT &s = view.screen, &p = view.page;
  FillArea(dc, {s.left, s.top, s.right, p.top}, colour);
  FillArea(dc, {s.left, p.bottom, s.right, s.bottom}, colour);
  FillArea(dc, {s.left, p.top, p.left, p.bottom}, colour);
  FillArea(dc, {p.right, p.top, s.right, p.bottom}, colour);
}

// The picture at its on-page size: the image itself when it has that size
// already (it is then taken over), else a smoothly scaled copy.
void *ScaledLayer(void **image, int32_t tw, int32_t th, int takeOver) {
  int32_t w, h;
  if (takeOver && ImageSize(*image, &w, &h) && w == tw && h == th) {
    void *taken = *image;
    *image = nullptr;
    return taken;
  }
  if (tw <= 0 || th <= 0) return nullptr;
  RECT target = {0, 0, tw, th};
  return DibScaleSmooth(*image, &target, 1, 0);
}

// The transition plug-in to run for a layer now, or -1 to draw at once.
int32_t TransitionForLayer(const Page &page, const PageView &view) {
  if (view.entering != 1 || Startup.settings.noTransition || Startup.smallWindow) return -1;
  return LayerTransitionPlugin(page.transitionId);
}

}  // namespace

void *LoadPlayerPicture(const char *storedPath) {
  char path[PATH_SIZE];
  if (!ProgramRelativePath(path, storedPath, Startup.programFolder, PATH_EXPAND)) return nullptr;
  if (!path[0] || !PathExists(path)) return nullptr;
  return PictureLoad(path, 1);
}

void FreePageViewLayers(PageView *view) {
  FreeLayerImages(view);
  MemFree(&view->layers.images);
  view->layers.count = 0;
}

int PreparePageViews(const Page *page, PageView *const *views, int32_t count, PictureLoader load) {
  if (!load) load = LoadPlayerPicture;
  const int32_t layerCount = page->pictureCount > 0 ? page->pictureCount : (page->backgroundFlag ? 1 : 0);
  int ok = 1;
  for (int32_t v = 0; v < count; ++v) {
    PageView *view = views[v];
    FreeLayerImages(view);
    void *grown = MemRealloc(view->layers.images, size_t(layerCount) * sizeof(void *));
    if (!grown) {
      view->layers.count = 0;
      ok = 0;
      continue;
    }
    view->layers.images = static_cast<void **>(grown);
    view->layers.count = layerCount;
    for (int32_t i = 0; i < layerCount; ++i) view->layers.images[i] = nullptr;
    if (page->pictureCount <= 0 && layerCount == 1) {
      view->layers.images[0] = DibCreateSolid(RectWidth(view->page), RectHeight(view->page), 24, page->backgroundColour);
      if (!view->layers.images[0]) ok = 0;
    }
  }
  if (page->pictureCount <= 0) return ok;
  // Each picture is decoded once and scaled for every view; the last view
  // may take the decoded image itself when it has the right size.
  for (int32_t i = 0; i < page->pictureCount; ++i) {
    void *image = load(page->pictures[i].path);
    for (int32_t v = 0; v < count && image; ++v) {
      PageView *view = views[v];
      if (view->layers.count != layerCount) continue;
      int32_t tw, th;
      PlacementTargetSize(page->pictures[i].placement, RectWidth(view->page), RectHeight(view->page), &tw, &th);
      view->layers.images[i] = ScaledLayer(&image, tw, th, v == count - 1);
    }
    MemFree(&image);
  }
  return ok;
}

void DrawPictureLayer(HDC dc, const Page *page, PageView *view, int32_t layerIndex, int wholeWindow) {
  if (!dc || !page || view->layers.count == 0) return;
  void *layer = LayerAt(view, layerIndex);

  const PictureRecord *record = nullptr;
  RECT rect;
  void *image;
  if (page->pictureCount > 0) {
    if (layerIndex < 0 || layerIndex >= page->pictureCount) return;
    record = &page->pictures[layerIndex];
    PagePlacementRect(record->placement, &view->page, record->orientation, &rect);
    image = OrientLayer(layer, record->orientation);
    if (!image) return;
    int32_t iw = 0, ih = 0;
    ImageSize(image, &iw, &ih);
    if (view->entering && (iw != RectWidth(rect) || ih != RectHeight(rect))) {
      // The effects draw the picture 1:1 when it has the rectangle's size.
      void *exact = ScaledLayer(&image, RectWidth(rect), RectHeight(rect), 0);
      if (image != layer) MemFree(&image);
      if (!exact) return;
      image = exact;
    }
  } else {
    image = layer;
    if (!image) return;
    rect = view->page;
  }

  int32_t iw = 0, ih = 0;
  ImageSize(image, &iw, &ih);
  const int32_t rw = RectWidth(rect), rh = RectHeight(rect);
  int32_t plugin = TransitionForLayer(*page, *view);
  if (plugin >= 0) {
    LayerTransitionCall call = {};
    call.window = static_cast<HWND>(view->window);
    call.dc = dc;
    call.image = image;
    call.imageSize[0] = iw;
    call.imageSize[1] = ih;
    call.destRect = rect;
    call.backColor = page->backgroundColour;
    call.wholeWindow = wholeWindow;
    call.wait = page->transitionWait;
    call.effectParams = page->transitionParams;
    call.mouseMoveAborts = Player.playMode == PLAY_MODE_SAVER;
    // Stopped early (normally by the user): the rest of the page comes at
    // once, on this screen and on every other.
    if (RunLayerTransition(plugin, &call) == 0) {
      view->entering = 0;
      StopEnteringOnAllScreens();
    }
    DibDraw(dc, rect.left, rect.top, rw, rh, image, 0, 0);
  } else {
    SetStretchBltMode(dc, COLORONCOLOR);
    DibStretchDraw(dc, rect.left, rect.top, rw, rh, image, 0, 0, iw, ih);
  }
  if (record && record->shadow) DrawDropShadow(dc, &rect, Startup.shadowImages);
  if (image != layer) MemFree(&image);
}

int PaintPageView(HDC dc, Page *page, PageView *view) {
  if (!page || !dc) return 0;
  const RECT screen = view->screen;

  if (view->entering) {
    if ((view->firstPaint || page->backgroundFlag) && page->pictureCount > 0) {
      FillArea(dc, screen, page->backgroundColour);
      view->firstPaint = 0;
    }
    for (int32_t j = 0; j < view->layers.count; ++j) DrawPictureLayer(dc, page, view, j, j == 0 && page->backgroundFlag);
    // A plain page's colour came in over its page rectangle; its margins
    // take the colour too.
    if (page->pictureCount <= 0 && view->layers.count > 0) FillMargins(dc, *view, page->backgroundColour);
    for (int32_t i = 0; i < page->textCount; ++i) DrawPageText(dc, page, view, i);
    view->entering = 0;
    return 1;
  }

  const int32_t width = RectWidth(screen), height = RectHeight(screen);
  HDC memory = CreateCompatibleDC(dc);
  if (!memory) return 0;
  HBITMAP bitmap = width > 0 && height > 0 ? CreateCompatibleBitmap(dc, width, height) : nullptr;
  if (!bitmap) {
    DeleteDC(memory);
    return 0;
  }
  HGDIOBJ old = SelectObject(memory, bitmap);
  // The bitmap holds the screen area: drawing at screen coordinates lands in it.
  SetViewportOrgEx(memory, -screen.left, -screen.top, nullptr);
  SetStretchBltMode(memory, COLORONCOLOR);
  FillArea(memory, screen, page->backgroundColour);
  for (int32_t j = 0; j < view->layers.count; ++j) DrawPictureLayer(memory, page, view, j, 0);
  for (int32_t i = 0; i < page->textCount; ++i) DrawPageText(memory, page, view, i);
  SetViewportOrgEx(memory, 0, 0, nullptr);
  BitBlt(dc, screen.left, screen.top, width, height, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  return 1;
}

int RenderPage(HDC dc, Page *page, const RECT *screen, int32_t pageWidth, int32_t pageHeight, PictureLoader load) {
  if (!dc || !page || !screen) return 0;
  PageView view = {};
  SetPageView(&view, nullptr, screen, pageWidth, pageHeight);
  PageView *views[1] = {&view};
  int ok = PreparePageViews(page, views, 1, load);
  if (ok) ok = PaintPageView(dc, page, &view);
  FreePageViewLayers(&view);
  return ok;
}

void FreePageLayers() {
  FreePageViewLayers(&Player.view);
  FreeScreenLayers();
}

int PreparePage() {
  FreeLayerImages(&Player.view);
  if (!LoadShow(Startup.showTempFile, LoadPageMedia, Player.currentPage, 0)) return 0;
  Page *page = CurrentPage();
  if (!page) return 0;
  RECT client = {0, 0, 0, 0};
  if (!Player.playerWindow || !GetClientRect(static_cast<HWND>(Player.playerWindow), &client)) client = {0, 0, 0, 0};
  int32_t pageWidth, pageHeight;
  ShowPageSize(Show.editorSettings, &pageWidth, &pageHeight);
  SetPageView(&Player.view, Player.playerWindow, &client, pageWidth, pageHeight);
  Player.view.keepsExtents = 1;
  return PrepareScreens(page, &Player.view);
}

int PaintPage(HDC dc) { return PaintPageView(dc, CurrentPage(), &Player.view); }
