// TIFF pictures through libtiff: the first image of the file, read with
// libtiff's RGBA interface (any sample layout, photometric interpretation and
// codec built in), with its own orientation tag left for the orientation
// code. Messages of libtiff go to the caller, never to the console.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include <tiffio.h>

#include "raster/dib.h"
#include "shell/mem_block.h"
#include "tools/pack/picture_formats.h"

namespace {

struct TiffInput {
  const unsigned char *bytes;
  size_t size;
  size_t pos;
  std::string message;  // libtiff's first error
};

tmsize_t ReadTiff(thandle_t handle, void *out, tmsize_t count) {
  TiffInput *in = static_cast<TiffInput *>(handle);
  if (count <= 0 || in->pos >= in->size) return 0;
  size_t n = size_t(count) < in->size - in->pos ? size_t(count) : in->size - in->pos;
  memcpy(out, in->bytes + in->pos, n);
  in->pos += n;
  return tmsize_t(n);
}
tmsize_t WriteTiff(thandle_t, void *, tmsize_t) { return 0; }
toff_t SeekTiff(thandle_t handle, toff_t offset, int whence) {
  TiffInput *in = static_cast<TiffInput *>(handle);
  uint64_t base = whence == SEEK_CUR ? in->pos : whence == SEEK_END ? in->size : 0;
  uint64_t target = base + offset;  // libtiff seeks forward or to absolute offsets
  if (target < base || target > SIZE_MAX) return toff_t(-1);
  in->pos = size_t(target);
  return target;
}
int CloseTiff(thandle_t) { return 0; }
toff_t SizeTiff(thandle_t handle) { return static_cast<TiffInput *>(handle)->size; }
int MapTiff(thandle_t handle, void **base, toff_t *size) {
  TiffInput *in = static_cast<TiffInput *>(handle);
  *base = const_cast<unsigned char *>(in->bytes);
  *size = in->size;
  return 1;
}
void UnmapTiff(thandle_t, void *, toff_t) {}

int KeepError(TIFF *, void *user, const char *module, const char *format, va_list args) {
  TiffInput *in = static_cast<TiffInput *>(user);
  if (in->message.empty()) {
    char text[256];
    vsnprintf(text, sizeof text, format, args);
    in->message = text;
  }
  return 1;
}
int DropWarning(TIFF *, void *, const char *, const char *, va_list) { return 1; }

TIFF *OpenTiff(TiffInput *in) {
  TIFFOpenOptions *options = TIFFOpenOptionsAlloc();
  if (!options) return nullptr;
  TIFFOpenOptionsSetErrorHandlerExtR(options, KeepError, in);
  TIFFOpenOptionsSetWarningHandlerExtR(options, DropWarning, in);
  // No single allocation of libtiff's beyond what a picture may take.
  TIFFOpenOptionsSetMaxSingleMemAlloc(options, tmsize_t(DIB_MAX_PIXEL_BYTES));
  TIFF *tif = TIFFClientOpenExt("picture", "rm", in, ReadTiff, WriteTiff, SeekTiff, CloseTiff, SizeTiff, MapTiff,
                                UnmapTiff, options);
  TIFFOpenOptionsFree(options);
  return tif;
}

// The requested orientation that makes libtiff flip the stored rows top to
// bottom and nothing else, so the raster holds the picture as stored, bottom
// row first: libtiff pairs each orientation with its transposed twin.
uint16_t StoredOrderBottomUp(uint16_t orientation) {
  switch (orientation) {
    case ORIENTATION_TOPRIGHT: case ORIENTATION_RIGHTTOP: return ORIENTATION_BOTRIGHT;
    case ORIENTATION_BOTRIGHT: case ORIENTATION_RIGHTBOT: return ORIENTATION_TOPRIGHT;
    case ORIENTATION_BOTLEFT: case ORIENTATION_LEFTBOT: return ORIENTATION_TOPLEFT;
    default: return ORIENTATION_BOTLEFT;
  }
}

// A premultiplied sample over what lies beneath it, keep/255 of which shows.
BYTE Over(uint32_t sample, BYTE under, int keep) {
  int v = int(sample) + (under * keep + 127) / 255;
  return BYTE(v > 255 ? 255 : v);
}

}  // namespace

void *DecodeTiff(const unsigned char *bytes, size_t size, COLORREF matte, std::string *why) {
  TiffInput in = {bytes, size, 0, std::string()};
  TIFF *tif = OpenTiff(&in);
  if (!tif) {
    *why = in.message.empty() ? "unreadable" : in.message;
    return nullptr;
  }
  void *canvas = nullptr;
  uint32_t *raster = nullptr;
  char message[1024] = {};
  TIFFRGBAImage image;
  if (!TIFFRGBAImageOK(tif, message) || !TIFFRGBAImageBegin(&image, tif, 1, message)) {
    *why = message[0] ? message : in.message;
    TIFFClose(tif);
    return nullptr;
  }
  uint32_t w = image.width, h = image.height;
  canvas = NewCanvas(w, h, matte);
  if (canvas && uint64_t(w) * h * 4 <= DIB_MAX_PIXEL_BYTES)
    raster = static_cast<uint32_t *>(MemAlloc(size_t(w) * h * 4));
  if (!canvas || !raster) {
    *why = "too large";
  } else {
    image.req_orientation = StoredOrderBottomUp(image.orientation);
    if (!TIFFRGBAImageGet(&image, raster, w, h)) {
      *why = in.message.empty() ? "damaged image data" : in.message;
      MemFree(&canvas);
    }
  }
  TIFFRGBAImageEnd(&image);
  TIFFClose(tif);
  if (canvas) {
    // Raster rows bottom-up like the canvas; alpha comes premultiplied.
    for (uint32_t y = 0; y < h; ++y) {
      BYTE *row = CanvasRow(canvas, int32_t(h - 1 - y));
      const uint32_t *p = raster + size_t(y) * w;
      for (uint32_t x = 0; x < w; ++x, row += 3) {
        uint32_t v = p[x];
        int keep = 255 - int(TIFFGetA(v));
        row[0] = Over(TIFFGetB(v), row[0], keep);
        row[1] = Over(TIFFGetG(v), row[1], keep);
        row[2] = Over(TIFFGetR(v), row[2], keep);
      }
    }
  }
  MemFree(&raster);
  return canvas;
}

int TiffOrientation(const unsigned char *bytes, size_t size) {
  TiffInput in = {bytes, size, 0, std::string()};
  TIFF *tif = OpenTiff(&in);
  if (!tif) return 0;
  uint16_t orientation = 0;
  if (!TIFFGetField(tif, TIFFTAG_ORIENTATION, &orientation)) orientation = 0;
  TIFFClose(tif);
  return orientation;
}
