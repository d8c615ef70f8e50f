// Telling picture formats apart by their first bytes and handing each to its
// decoder; the canvases the decoders paint into; reading a picture file no
// further than its picture goes; the orientation codes that stand for the
// eight EXIF orientations.
#include "raster/picture_decode.h"

#include <cstdio>
#include <cstring>

#include "raster/bmp_import.h"
#include "raster/dib.h"
#include "shell/base/mem_block.h"
#include "raster/picture_formats.h"

namespace {

uint32_t U32(const unsigned char *p) {
  return static_cast<uint32_t>(p[0] | p[1] << 8 | p[2] << 16) | static_cast<uint32_t>(p[3]) << 24;
}

// A bare packed DIB: a known header size followed, in the Windows and OS/2 2
// forms, by one plane.
bool LooksLikePackedDib(const unsigned char *b, size_t size) {
  if (size < 16) return false;
  uint32_t hs = U32(b);
  if (hs == 12) return b[8] == 1 && b[9] == 0;
  if (hs < 16 || (hs > 64 && hs != 108 && hs != 124)) return false;
  return b[12] == 1 && b[13] == 0;
}

// ISO base media files (HEIC, HEIF, AVIF): a "ftyp" box with an image brand.
bool IsHeif(const unsigned char *b, size_t size) {
  if (size < 12 || memcmp(b + 4, "ftyp", 4) != 0) return false;
  static const char *const brands[] = {"heic", "heix", "heim", "heis", "hevc", "hevx", "mif1", "msf1", "avif", "avis"};
  for (const char *brand : brands)
    if (memcmp(b + 8, brand, 4) == 0) return true;
  return false;
}

}  // namespace

PictureFormat PictureFormatOf(const unsigned char *b, size_t size) {
  if (!b) return FORMAT_NONE;
  if (size >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF) return FORMAT_JPEG;
  if (size >= 8 && memcmp(b, "\x89PNG\r\n\x1a\n", 8) == 0) return FORMAT_PNG;
  if (size >= 6 && (memcmp(b, "GIF87a", 6) == 0 || memcmp(b, "GIF89a", 6) == 0)) return FORMAT_GIF;
  if (size >= 4 && (memcmp(b, "II*\0", 4) == 0 || memcmp(b, "MM\0*", 4) == 0)) return FORMAT_TIFF;
  if (size >= 12 && memcmp(b, "RIFF", 4) == 0 && memcmp(b + 8, "WEBP", 4) == 0) return FORMAT_WEBP;
  if (size >= 2 && b[0] == 'B' && b[1] == 'M') return FORMAT_BMP;
  if (IsHeif(b, size)) return FORMAT_HEIF;
  if (LooksLikePackedDib(b, size)) return FORMAT_BMP;
  return FORMAT_NONE;
}

const char *PictureFormatName(PictureFormat format) {
  switch (format) {
    case FORMAT_BMP: return "BMP";
    case FORMAT_JPEG: return "JPEG";
    case FORMAT_PNG: return "PNG";
    case FORMAT_GIF: return "GIF";
    case FORMAT_TIFF: return "TIFF";
    case FORMAT_WEBP: return "WebP";
    case FORMAT_HEIF: return "HEIC/HEIF";
    case FORMAT_NONE: break;
  }
  return "unknown";
}

int HasPictureExtension(const char *name) {
  static const char *const EXTENSIONS[] = {"jpg", "jpeg", "jpe", "jfif", "png", "gif", "bmp", "dib", "tif",
                                           "tiff", "webp", "heic", "heif", "avif"};
  if (!name) return 0;
  const char *dot = strrchr(name, '.');
  if (!dot || strchr(dot, '/') || strchr(dot, '\\')) return 0;
  for (const char *known : EXTENSIONS) {
    size_t i = 0;
    for (; known[i] && dot[1 + i]; ++i) {
      char c = dot[1 + i];
      if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
      if (c != known[i]) break;
    }
    if (!known[i] && !dot[1 + i]) return 1;
  }
  return 0;
}

void *NewCanvas(int64_t width, int64_t height, COLORREF matte, PictureReport *report) {
  if (!PictureSizeAllowed(width, height, report)) return nullptr;
  void *dib = DibNew(int32_t(width), int32_t(height), 24);
  if (!dib) {
    PictureReportSet(report, PICTURE_NO_MEMORY, nullptr);
    return nullptr;
  }
  // One row of the matte, then copied to every row.
  uint32_t stride = DibStride(int32_t(width), 24);
  BYTE *bits = DibBits(dib);
  for (int64_t x = 0; x < width; ++x) {
    bits[x * 3] = GetBValue(matte);
    bits[x * 3 + 1] = GetGValue(matte);
    bits[x * 3 + 2] = GetRValue(matte);
  }
  for (int64_t y = 1; y < height; ++y) memcpy(bits + size_t(y) * stride, bits, stride);
  return dib;
}

BYTE *CanvasRow(void *canvas, int32_t y) {
  const BITMAPINFOHEADER *h = static_cast<const BITMAPINFOHEADER *>(canvas);
  return DibBits(canvas) + size_t(h->biHeight - 1 - y) * DibStride(h->biWidth, 24);
}

void *NewWideCanvas(int64_t width, int64_t height, BYTE **pixels, PictureReport *report) {
  *pixels = nullptr;
  if (!PictureSizeAllowed(width, height, report)) return nullptr;
  // The 24-bit rows it becomes fit in the same block: 3 padded bytes a pixel
  // never take more room than 4.
  void *block = MemAlloc(sizeof(BITMAPINFOHEADER) + size_t(width) * size_t(height) * 4);
  if (!block) {
    PictureReportSet(report, PICTURE_NO_MEMORY, "%lld x %lld pixels of 4 bytes", (long long)width, (long long)height);
    return nullptr;
  }
  *pixels = static_cast<BYTE *>(block) + sizeof(BITMAPINFOHEADER);
  return block;
}

void *FinishWideCanvas(void *block, int32_t width, int32_t height, const WideLayout &L, COLORREF matte) {
  BYTE *base = static_cast<BYTE *>(block) + sizeof(BITMAPINFOHEADER);
  uint32_t stride = DibStride(width, 24);
  const int mb = GetBValue(matte), mg = GetGValue(matte), mr = GetRValue(matte);
  // Front to back: a pixel's 3 bytes land at or before where its 4 were read,
  // and no later than the next pixel's, so nothing is overwritten unread.
  for (int32_t y = 0; y < height; ++y) {
    const BYTE *in = base + size_t(y) * size_t(width) * 4;
    BYTE *out = base + size_t(y) * stride;
    for (int32_t x = 0; x < width; ++x, in += 4, out += 3) {
      int r = in[L.red], g = in[L.green], b = in[L.blue], a = in[L.alpha];
      if (L.premultiplied) {
        int keep = 255 - a;
        r += (mr * keep + 127) / 255, g += (mg * keep + 127) / 255, b += (mb * keep + 127) / 255;
        out[0] = BYTE(b > 255 ? 255 : b), out[1] = BYTE(g > 255 ? 255 : g), out[2] = BYTE(r > 255 ? 255 : r);
      } else {
        out[0] = BYTE(mb), out[1] = BYTE(mg), out[2] = BYTE(mr);
        BlendPixel(out, r, g, b, a);
      }
    }
    for (uint32_t pad = uint32_t(width) * 3; pad < stride; ++pad) base[size_t(y) * stride + pad] = 0;
  }
  BITMAPINFOHEADER *h = static_cast<BITMAPINFOHEADER *>(block);
  memset(h, 0, sizeof *h);
  h->biSize = sizeof(BITMAPINFOHEADER);
  h->biWidth = width;
  h->biHeight = height;
  h->biPlanes = 1;
  h->biBitCount = 24;
  h->biCompression = BI_RGB;
  h->biSizeImage = stride * uint32_t(height);
  return block;
}

int32_t OrientationForExif(int exif) {
  // EXIF names where the stored first row and first column belong; the code
  // is the turn (and mirror) that puts them there.
  switch (exif) {
    case 2: return 6;  // first column on the right: mirror left and right
    case 3: return 2;  // first row at the bottom, first column on the right: half turn
    case 4: return 4;  // first row at the bottom: mirror top and bottom
    case 5: return 9;  // first row on the left, first column at the top: transpose
    case 6: return 1;  // first row on the right: quarter turn clockwise
    case 7: return 5;  // first row on the right, first column at the bottom: transverse
    case 8: return 3;  // first row on the left, first column at the bottom: counter-clockwise
    default: return 0;
  }
}

int PictureExifOrientation(const unsigned char *bytes, size_t size, PictureFormat format) {
  if (!bytes) return 0;
  int value = 0;
  switch (format) {
    case FORMAT_JPEG: value = JpegExifOrientation(bytes, size); break;
    case FORMAT_PNG: value = PngExifOrientation(bytes, size); break;
    case FORMAT_TIFF: value = TiffOrientation(bytes, size); break;
    case FORMAT_WEBP: value = WebpExifOrientation(bytes, size); break;
    default: break;
  }
  return value >= 1 && value <= 8 ? value : 0;
}

namespace {

// The JPEG scaling denominator (1, 2, 4 or 8) that still covers the size.
int CoverDenominator(int32_t width, int32_t height, int32_t coverWidth, int32_t coverHeight) {
  if (coverWidth <= 0 || coverHeight <= 0) return 1;
  for (int d = 8; d > 1; d /= 2)
    if ((int64_t(width) + d - 1) / d >= coverWidth && (int64_t(height) + d - 1) / d >= coverHeight) return d;
  return 1;
}

void *DecodeJpeg(const unsigned char *bytes, size_t size, const PictureDecodeOptions *options, DecodedPicture *out,
                 PictureReport *report) {
  int w = 0, h = 0, bits = 0;
  if (!JpegScanMemory(bytes, size, &w, &h, &bits)) {
    PictureReportSet(report, PICTURE_CUT_SHORT, "it ends before its first scan");
    return nullptr;
  }
  if (!PictureSizeAllowed(w, h, report)) return nullptr;
  out->width = w, out->height = h;
  // The player's own decoder, so that the verdict is the one it would give.
  int denom = CoverDenominator(w, h, options->coverWidth, options->coverHeight);
  void *dib = JpegDecodeMemoryReport(bytes, size, denom, options->stop, report);
  if (dib && report->problem != PICTURE_FINE) MemFree(&dib);  // decoded only with warnings
  return dib;
}

}  // namespace

int DecodePictureWith(const unsigned char *bytes, size_t size, const PictureDecodeOptions *options,
                      DecodedPicture *out, PictureReport *report) {
  PictureReport local;
  if (!report) report = &local;
  PictureReportClear(report);
  memset(out, 0, sizeof *out);
  out->format = PictureFormatOf(bytes, size);
  if (!bytes || !size) {
    PictureReportSet(report, PICTURE_EMPTY, nullptr);
    return 0;
  }
  COLORREF matte = options->matte;
  switch (out->format) {
    case FORMAT_NONE:
      PictureReportSet(report, PICTURE_NOT_A_PICTURE, "neither JPEG, PNG, GIF, BMP, TIFF nor WebP");
      return 0;
    case FORMAT_HEIF:
      PictureReportSet(report, PICTURE_UNSUPPORTED,
                       "a HEIC/HEIF picture, which this tool cannot read: convert it to JPEG first");
      return 0;
    case FORMAT_BMP: out->dib = DibImportBmpReport(bytes, size, report); break;
    case FORMAT_JPEG: out->dib = DecodeJpeg(bytes, size, options, out, report); break;
    case FORMAT_PNG: out->dib = DecodePng(bytes, size, matte, report); break;
    case FORMAT_GIF: out->dib = DecodeGif(bytes, size, matte, report); break;
    case FORMAT_TIFF: out->dib = DecodeTiff(bytes, size, matte, report); break;
    case FORMAT_WEBP: out->dib = DecodeWebp(bytes, size, matte, report); break;
  }
  if (!out->dib) {
    PictureReportSet(report, PICTURE_DAMAGED, nullptr);  // in case a reader gave no reason
    return 0;
  }
  // The raster decoders may give 8 bits (grey JPEG); everything leaves as 24.
  if (DibGetBitCount(out->dib) != 24) {
    void *wide = DibToRgb24(out->dib);
    MemFree(&out->dib);
    out->dib = wide;
    if (!wide) {
      PictureReportSet(report, PICTURE_NO_MEMORY, "for the picture's 24-bit form");
      return 0;
    }
  }
  if (out->format != FORMAT_JPEG) {
    SIZE s;
    DibGetSize(out->dib, &s);
    out->width = s.cx, out->height = s.cy;
  }
  out->orientation = OrientationForExif(PictureExifOrientation(bytes, size, out->format));
  return 1;
}

std::string PictureProblemText(PictureFormat format, const PictureReport *report) {
  char reason[400];
  PictureReportText(report, reason, sizeof reason);
  int p = report ? report->problem : PICTURE_FINE;
  // Unsupported forms name themselves; a file's own troubles have no format.
  if (format == FORMAT_NONE || p == PICTURE_UNSUPPORTED || p == PICTURE_EMPTY || p == PICTURE_TOO_BIG ||
      p == PICTURE_MISSING)
    return reason;
  return std::string("a ") + PictureFormatName(format) + " picture, " + reason;
}

int DecodePicture(const unsigned char *bytes, size_t size, COLORREF matte, DecodedPicture *out, std::string *error) {
  PictureDecodeOptions options = {matte, 0, 0, nullptr};
  PictureReport report;
  int ok = DecodePictureWith(bytes, size, &options, out, &report);
  if (!ok) *error = PictureProblemText(out->format, &report);
  return ok;
}

int DecodePictureFile(const char *path, COLORREF matte, DecodedPicture *out, std::string *error) {
  memset(out, 0, sizeof *out);
  size_t size = 0;
  PictureReport report;
  unsigned char *bytes = ReadPictureFile(path, &size, nullptr, &report);
  if (!bytes) {
    *error = std::string(path) + ": " + PictureProblemText(FORMAT_NONE, &report);
    return 0;
  }
  int ok = DecodePicture(bytes, size, matte, out, error);
  MemFreePtr(bytes);
  if (!ok) *error = std::string(path) + ": " + *error;
  return ok;
}
