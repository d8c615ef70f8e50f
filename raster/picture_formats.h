// Shared by the per-format decoders: the 24-bit canvas they paint into (over
// a matte colour), the 32-bit canvas that libraries decode into and that is
// then laid over the matte in place, and their entry points. Not for callers
// outside the decoders; they use picture_decode.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "raster/picture_report.h"
#include "shell/base/win_types.h"

// A new 24-bit Dib of width x height filled with the matte colour; null when
// empty or larger than a picture may be (the reason in report).
void *NewCanvas(int64_t width, int64_t height, COLORREF matte, PictureReport *report);
// Row y counted from the top of the canvas (bottom-up storage).
BYTE *CanvasRow(void *canvas, int32_t y);
// Lays one pixel with opacity alpha (0..255) over what the canvas holds.
inline void BlendPixel(BYTE *bgr, int r, int g, int b, int alpha) {
  if (alpha >= 255) {
    bgr[0] = static_cast<BYTE>(b), bgr[1] = static_cast<BYTE>(g), bgr[2] = static_cast<BYTE>(r);
  } else if (alpha > 0) {
    bgr[0] = static_cast<BYTE>((b * alpha + bgr[0] * (255 - alpha) + 127) / 255);
    bgr[1] = static_cast<BYTE>((g * alpha + bgr[1] * (255 - alpha) + 127) / 255);
    bgr[2] = static_cast<BYTE>((r * alpha + bgr[2] * (255 - alpha) + 127) / 255);
  }
}

// A block for a width x height picture of 4 bytes a pixel, rows bottom-up
// right after a 40-byte header; *pixels receives the first (bottom) row.
// Null when empty or too large (the reason in report).
void *NewWideCanvas(int64_t width, int64_t height, BYTE **pixels, PictureReport *report);
// Where a wide canvas keeps each channel of a pixel, and how alpha is held.
struct WideLayout {
  int red, green, blue, alpha;  // byte offsets within the pixel
  bool premultiplied;           // colours already multiplied by alpha
};
// Turns a wide canvas into a 24-bit Dib in place, each pixel laid over the
// matte colour; the block keeps its size (the spare bytes at its end are
// not part of the picture). Returns the block.
void *FinishWideCanvas(void *block, int32_t width, int32_t height, const WideLayout &layout, COLORREF matte);

// Each returns a new 24-bit canvas, or null with the reason in report.
void *DecodePng(const unsigned char *bytes, size_t size, COLORREF matte, PictureReport *report);
void *DecodeGif(const unsigned char *bytes, size_t size, COLORREF matte, PictureReport *report);
void *DecodeTiff(const unsigned char *bytes, size_t size, COLORREF matte, PictureReport *report);
void *DecodeWebp(const unsigned char *bytes, size_t size, COLORREF matte, PictureReport *report);

// EXIF orientation readers, 0 when there is none.
int ExifBlockOrientation(const unsigned char *exif, size_t size);  // APP1 payload or raw TIFF-form EXIF
int JpegExifOrientation(const unsigned char *bytes, size_t size);
int PngExifOrientation(const unsigned char *bytes, size_t size);
int TiffOrientation(const unsigned char *bytes, size_t size);
int WebpExifOrientation(const unsigned char *bytes, size_t size);
