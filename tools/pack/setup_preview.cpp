// The first page composed natively: fill, then each picture in record order.
#include "tools/pack/setup_preview.h"

#include <cstring>

#include "player/picture_orient.h"
#include "player/play_rules.h"
#include "raster/dib.h"
#include "shell/base/mem_block.h"
#include "show/show_records.h"

namespace {
// Copies the 24-bit picture src into the 24-bit dst with its top-left corner
// at (x, y), top-down coordinates, cut at dst's edges.
void Place24(void *dst, const void *src, int32_t x, int32_t y) {
  SIZE ds, ss;
  DibGetSize(dst, &ds);
  DibGetSize(src, &ss);
  const uint32_t dstStride = DibStride(ds.cx, 24), srcStride = DibStride(ss.cx, 24);
  BYTE *to = DibBits(dst);
  const BYTE *from = DibBits(src);
  for (int32_t row = 0; row < ss.cy; ++row) {
    const int32_t ty = y + row;
    if (ty < 0 || ty >= ds.cy) continue;
    int32_t left = x < 0 ? -x : 0, right = x + ss.cx > ds.cx ? ds.cx - x : ss.cx;
    if (left >= right) return;
    // Rows are stored bottom-up.
    memcpy(to + size_t(ds.cy - 1 - ty) * dstStride + size_t(x + left) * 3,
           from + size_t(ss.cy - 1 - row) * srcStride + size_t(left) * 3, size_t(right - left) * 3);
  }
}
}  // namespace

std::vector<unsigned char> FirstPagePreview(const ShowDocument &show, const std::vector<PagePicture> &pictures,
                                            int32_t maxWidth, int32_t maxHeight) {
  std::vector<unsigned char> out;
  if (show.pages.pageCount < 1 || maxWidth < 1 || maxHeight < 1) return out;
  const Page &page = show.pages.pages[0];
  int32_t pageWidth, pageHeight;
  ShowPageSize(show.editorSettings, &pageWidth, &pageHeight);
  if (pageWidth <= 0 || pageHeight <= 0) pageWidth = 4, pageHeight = 3;
  RECT box = {0, 0, maxWidth, maxHeight}, rect;
  FitPageRect(pageWidth, pageHeight, &box, &rect);
  const int32_t w = rect.right - rect.left, h = rect.bottom - rect.top;
  void *canvas = DibCreateSolid(w, h, 24, page.backgroundColour & 0xFFFFFF);
  if (!canvas) return out;
  for (const PagePicture &picture : pictures) {
    if (picture.index < 0 || picture.index >= page.pictureCount) continue;
    const PictureRecord &record = page.pictures[picture.index];
    void *decoded = DibFromImageData(picture.bytes.data(), picture.bytes.size());
    if (!decoded) continue;
    int32_t tw, th;
    PlacementTargetSize(record.placement, w, h, &tw, &th);
    RECT size = {0, 0, tw, th};
    void *scaled = tw > 0 && th > 0 && tw <= 8 * w && th <= 8 * h ? DibScaleSmooth(decoded, &size, 1, 0) : nullptr;
    MemFree(&decoded);
    void *turned = scaled ? OrientLayer(scaled, record.orientation) : nullptr;
    if (turned != scaled) MemFree(&scaled);
    void *rgb = turned ? DibToRgb24(turned) : nullptr;
    MemFree(&turned);
    if (!rgb) continue;
    RECT at;
    PlacementRect(record.placement, w, h, record.orientation, &at);
    Place24(canvas, rgb, at.left, at.top);
    MemFree(&rgb);
  }
  const unsigned char *bytes = static_cast<const unsigned char *>(canvas);
  out.assign(bytes, bytes + MemSize(canvas));
  MemFree(&canvas);
  return out;
}
