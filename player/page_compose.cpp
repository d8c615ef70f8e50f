// Preparing the layers of the current page and painting pages and pictures.
#include "player/page_compose.h"

#include <cstring>

#include "player/layer_transition.h"
#include "player/page_model.h"
#include "player/page_text.h"
#include "player/picture_orient.h"
#include "player/picture_stop.h"
#include "player/play_rules.h"
#include "player/player_state.h"
#include "player/player_window.h"
#include "raster/dib.h"
#include "shell/base/file_ops.h"
#include "shell/base/mem_block.h"
#include "shell/base/startup_state.h"
#include "show/show_document.h"
#include "show/show_loader.h"

namespace {

void *LayerAt(int32_t index) {
  if (index < 0 || index >= Player.layers.count || !Player.layers.images) return nullptr;
  return Player.layers.images[index];
}

void FreeLayerImages() {
  if (!Player.layers.images) return;
  for (int32_t i = 0; i < Player.layers.count; ++i) MemFree(&Player.layers.images[i]);
}

int ImageSize(const void *dib, int32_t *width, int32_t *height) {
  SIZE size;
  if (!DibGetSize(dib, &size)) return 0;
  *width = size.cx;
  *height = size.cy;
  return 1;
}

void FillClient(HDC dc, int32_t width, int32_t height, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  if (!brush) return;
  RECT all = {0, 0, width, height};
  FillRect(dc, &all, brush);
  DeleteObject(brush);
}

// Loads one picture at its on-page size; null when it is missing or unusable.
void *LoadLayer(const PictureRecord &record, int32_t clientWidth, int32_t clientHeight) {
  int32_t tw, th;
  PlacementTargetSize(record.placement, clientWidth, clientHeight, &tw, &th);
  char path[PATH_SIZE];
  if (!ProgramRelativePath(path, record.path, Startup.programFolder, PATH_EXPAND)) return nullptr;
  if (!path[0] || !PathExists(path)) return nullptr;
  void *image = LoadPagePicture(path);
  if (!image) return nullptr;
  int32_t w, h;
  if (ImageSize(image, &w, &h) && w == tw && h == th) return image;
  void *scaled = nullptr;
  if (tw > 0 && th > 0) {
    RECT target = {0, 0, tw, th};
    scaled = DibScaleSmooth(image, &target, 1, 0);
  }
  MemFree(&image);
  return scaled;
}

// The transition plug-in to run for a layer now, or -1 to draw at once.
int32_t TransitionForLayer(const Page &page) {
  if (Player.pageEntering != 1 || Startup.settings.noTransition || Startup.smallWindow) return -1;
  return LayerTransitionPlugin(page.transitionId);
}

}  // namespace

void FreePageLayers() {
  FreeLayerImages();
  MemFree(&Player.layers.images);
  Player.layers.count = 0;
}

int PreparePage() {
  FreeLayerImages();
  if (!LoadShow(Startup.showTempFile, LoadPageMedia, Player.currentPage, 0)) return 0;
  Page *page = CurrentPage();
  if (!page) return 0;
  int32_t width, height;
  PlayerClientSize(&width, &height);

  int32_t count = page->pictureCount > 0 ? page->pictureCount : (page->backgroundFlag ? 1 : 0);
  void *grown = MemRealloc(Player.layers.images, size_t(count) * sizeof(void *));
  if (!grown) {
    Player.layers.count = 0;
    return 0;
  }
  Player.layers.images = static_cast<void **>(grown);
  Player.layers.count = count;
  for (int32_t i = 0; i < count; ++i) Player.layers.images[i] = nullptr;
  if (count == 0) return 1;

  if (page->pictureCount <= 0) {
    Player.layers.images[0] = DibCreateSolid(width, height, 24, page->backgroundColour);
    return Player.layers.images[0] != nullptr;
  }
  for (int32_t i = 0; i < count; ++i) Player.layers.images[i] = LoadLayer(page->pictures[i], width, height);
  return 1;
}

void DrawPictureLayer(HDC dc, int32_t layerIndex, int wholeWindow) {
  if (Player.layers.count == 0 || !dc) return;
  Page *page = CurrentPage();
  if (!page) return;
  int32_t width, height;
  PlayerClientSize(&width, &height);
  void *layer = LayerAt(layerIndex);

  const PictureRecord *record = nullptr;
  RECT rect;
  void *image;
  if (page->pictureCount > 0) {
    if (layerIndex < 0 || layerIndex >= page->pictureCount) return;
    record = &page->pictures[layerIndex];
    PlacementRect(record->placement, width, height, record->orientation, &rect);
    image = OrientLayer(layer, record->orientation);
    if (!image) return;
    int32_t iw = 0, ih = 0;
    ImageSize(image, &iw, &ih);
    int32_t rw = rect.right - rect.left, rh = rect.bottom - rect.top;
    if (Player.pageEntering && (iw != rw || ih != rh)) {
      // The effects draw the picture 1:1 when it has the rectangle's size.
      void *exact = nullptr;
      if (rw > 0 && rh > 0) {
        RECT target = {0, 0, rw, rh};
        exact = DibScaleSmooth(image, &target, 1, 0);
      }
      if (image != layer) MemFree(&image);
      if (!exact) return;
      image = exact;
    }
  } else {
    image = layer;
    if (!image) return;
    rect = {0, 0, width, height};
  }

  int32_t iw = 0, ih = 0;
  ImageSize(image, &iw, &ih);
  int32_t rw = rect.right - rect.left, rh = rect.bottom - rect.top;
  int32_t plugin = TransitionForLayer(*page);
  if (plugin >= 0) {
    LayerTransitionCall call = {};
    call.window = Player.playerWindow;
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
    // Stopped early (normally by the user): the rest of the page comes at once.
    if (RunLayerTransition(plugin, &call) == 0) Player.pageEntering = 0;
    DibDraw(dc, rect.left, rect.top, rw, rh, image, 0, 0);
  } else {
    SetStretchBltMode(dc, COLORONCOLOR);
    DibStretchDraw(dc, rect.left, rect.top, rw, rh, image, 0, 0, iw, ih);
  }
  if (record && record->shadow) DrawDropShadow(dc, &rect, Startup.shadowImages);
  if (image != layer) MemFree(&image);
}

int PaintPage(HDC dc) {
  Page *page = CurrentPage();
  if (!page || !dc) return 0;
  int32_t width, height;
  PlayerClientSize(&width, &height);

  if (Player.pageEntering) {
    if ((Player.firstPaint || page->backgroundFlag) && page->pictureCount > 0) {
      FillClient(dc, width, height, page->backgroundColour);
      Player.firstPaint = 0;
    }
    for (int32_t j = 0; j < Player.layers.count; ++j) DrawPictureLayer(dc, j, j == 0 && page->backgroundFlag);
    for (int32_t i = 0; i < page->textCount; ++i) DrawPageText(dc, i);
    Player.pageEntering = 0;
    return 1;
  }

  HDC memory = CreateCompatibleDC(dc);
  if (!memory) return 0;
  HBITMAP bitmap = width > 0 && height > 0 ? CreateCompatibleBitmap(dc, width, height) : nullptr;
  if (!bitmap) {
    DeleteDC(memory);
    return 0;
  }
  HGDIOBJ old = SelectObject(memory, bitmap);
  SetStretchBltMode(memory, COLORONCOLOR);
  FillClient(memory, width, height, page->backgroundColour);
  for (int32_t j = 0; j < Player.layers.count; ++j) DrawPictureLayer(memory, j, 0);
  for (int32_t i = 0; i < page->textCount; ++i) DrawPageText(memory, i);
  BitBlt(dc, 0, 0, width, height, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  return 1;
}
