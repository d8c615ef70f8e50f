// TIFF pictures through libtiff: the first image of the file, read with
// libtiff's RGBA interface (any sample layout, photometric interpretation and
// codec built in) into the one block that becomes the picture, after its
// declared size has been checked, with its own orientation tag left for the
// orientation code. Messages of libtiff go to the caller, never to the console.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include <tiffio.h>

#include "raster/dib.h"
#include "shell/base/mem_block.h"
#include "raster/picture_formats.h"

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

}  // namespace

void *DecodeTiff(const unsigned char *bytes, size_t size, COLORREF matte, PictureReport *report) {
  TiffInput in = {bytes, size, 0, std::string()};
  TIFF *tif = OpenTiff(&in);
  if (!tif) {
    PictureReportSet(report, PICTURE_DAMAGED, "%s", in.message.empty() ? "unreadable" : in.message.c_str());
    return nullptr;
  }
  // The declared size first: nothing of the picture's size exists before.
  uint32_t w = 0, h = 0;
  if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w) || !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h) ||
      !PictureSizeAllowed(w, h, report)) {
    PictureReportSet(report, PICTURE_DAMAGED, "no picture size");
    TIFFClose(tif);
    return nullptr;
  }
  char message[1024] = {};
  TIFFRGBAImage image;
  if (!TIFFRGBAImageOK(tif, message) || !TIFFRGBAImageBegin(&image, tif, 1, message)) {
    PictureReportSet(report, PICTURE_UNSUPPORTED, "a TIFF of a kind that cannot be read (%s)",
                     message[0] ? message : in.message.c_str());
    TIFFClose(tif);
    return nullptr;
  }
  w = image.width, h = image.height;
  BYTE *pixels = nullptr;
  void *canvas = NewWideCanvas(w, h, &pixels, report);
  if (canvas) {
    // The raster holds the rows bottom-up, each pixel one 32-bit value with
    // red in its low byte and alpha premultiplied: on these little-endian
    // machines the bytes red, green, blue, alpha.
    image.req_orientation = StoredOrderBottomUp(image.orientation);
    if (!TIFFRGBAImageGet(&image, reinterpret_cast<uint32_t *>(pixels), w, h)) {
      const char *why = in.message.empty() ? "its image data cannot be read" : in.message.c_str();
      PictureReportSet(report, strstr(why, "Read error") || strstr(why, "past end") ? PICTURE_CUT_SHORT : PICTURE_DAMAGED,
                       "%s", why);
      MemFree(&canvas);
    }
  }
  TIFFRGBAImageEnd(&image);
  TIFFClose(tif);
  if (!canvas) return nullptr;
  static_assert(TIFFGetR(0x000000FFu) == 0xFF && TIFFGetA(0xFF000000u) == 0xFF, "the raster's channel order");
  return FinishWideCanvas(canvas, int32_t(w), int32_t(h), WideLayout{0, 1, 2, 3, true}, matte);
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
