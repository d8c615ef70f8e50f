// Shared by the per-format decoders of the authoring tool: the 24-bit canvas
// they paint into (over a matte colour) and their entry points. Not for
// callers outside the decoders; they use picture_decode.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "shell/win_types.h"

// A new 24-bit Dib of width x height filled with the matte colour; null when
// empty or larger than a picture may be.
void *NewCanvas(int64_t width, int64_t height, COLORREF matte);
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

// Each returns a new canvas, or null with the library's reason in why.
void *DecodePng(const unsigned char *bytes, size_t size, COLORREF matte, std::string *why);
void *DecodeGif(const unsigned char *bytes, size_t size, COLORREF matte, std::string *why);
void *DecodeTiff(const unsigned char *bytes, size_t size, COLORREF matte, std::string *why);
void *DecodeWebp(const unsigned char *bytes, size_t size, COLORREF matte, std::string *why);

// EXIF orientation readers, 0 when there is none.
int ExifBlockOrientation(const unsigned char *exif, size_t size);  // APP1 payload or raw TIFF-form EXIF
int JpegExifOrientation(const unsigned char *bytes, size_t size);
int PngExifOrientation(const unsigned char *bytes, size_t size);
int TiffOrientation(const unsigned char *bytes, size_t size);
int WebpExifOrientation(const unsigned char *bytes, size_t size);
