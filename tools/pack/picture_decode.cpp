// Telling picture formats apart by their first bytes and handing each to its
// decoder; the canvas the decoders paint into; the orientation codes that
// stand for the eight EXIF orientations.
#include "tools/pack/picture_decode.h"

#include <cstring>

#include "raster/bmp_import.h"
#include "raster/dib.h"
#include "shell/mem_block.h"
#include "show/file_checksum.h"
#include "tools/pack/picture_formats.h"

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

void *NewCanvas(int64_t width, int64_t height, COLORREF matte) {
  if (width <= 0 || height <= 0 || width > INT32_MAX || height > INT32_MAX) return nullptr;
  uint32_t stride = DibStride(int32_t(width), 24);
  if (!stride || uint64_t(stride) * uint64_t(height) > DIB_MAX_PIXEL_BYTES) return nullptr;
  void *dib = DibCreateSolid(int32_t(width), int32_t(height), 24, matte);
  return dib;
}

BYTE *CanvasRow(void *canvas, int32_t y) {
  const BITMAPINFOHEADER *h = static_cast<const BITMAPINFOHEADER *>(canvas);
  return DibBits(canvas) + size_t(h->biHeight - 1 - y) * DibStride(h->biWidth, 24);
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

int DecodePicture(const unsigned char *bytes, size_t size, COLORREF matte, DecodedPicture *out, std::string *error) {
  out->dib = nullptr;
  out->orientation = 0;
  out->format = PictureFormatOf(bytes, size);
  std::string why;
  const char *name = PictureFormatName(out->format);
  switch (out->format) {
    case FORMAT_NONE:
      *error = "not a picture (neither JPEG, PNG, GIF, BMP, TIFF nor WebP)";
      return 0;
    case FORMAT_HEIF:
      *error = "a HEIC/HEIF picture, which this tool cannot read: convert it to JPEG first";
      return 0;
    case FORMAT_BMP:
      out->dib = DibImportBmp(bytes, size);
      if (!out->dib) why = "an unsupported form, or cut short";
      break;
    case FORMAT_JPEG: {
      // The player's own decoder, so that what is embedded is what it shows.
      int cutShort = 0;
      out->dib = JpegDecodeMemoryChecked(bytes, size, &cutShort);
      if (out->dib && cutShort) {
        MemFree(&out->dib);
        why = "cut short";
      } else if (!out->dib) {
        why = "damaged, or CMYK, which the player cannot show";
      }
      break;
    }
    case FORMAT_PNG: out->dib = DecodePng(bytes, size, matte, &why); break;
    case FORMAT_GIF: out->dib = DecodeGif(bytes, size, matte, &why); break;
    case FORMAT_TIFF: out->dib = DecodeTiff(bytes, size, matte, &why); break;
    case FORMAT_WEBP: out->dib = DecodeWebp(bytes, size, matte, &why); break;
  }
  if (!out->dib) {
    *error = std::string("a damaged or unreadable ") + name + " picture" + (why.empty() ? "" : " (" + why + ")");
    return 0;
  }
  // The raster decoders may give 8 bits (grey JPEG); everything leaves as 24.
  if (DibGetBitCount(out->dib) != 24) {
    void *wide = DibToRgb24(out->dib);
    MemFree(&out->dib);
    out->dib = wide;
    if (!wide) {
      *error = "out of memory";
      return 0;
    }
  }
  out->orientation = OrientationForExif(PictureExifOrientation(bytes, size, out->format));
  return 1;
}

int DecodePictureFile(const char *path, COLORREF matte, DecodedPicture *out, std::string *error) {
  out->dib = nullptr;
  out->orientation = 0;
  out->format = FORMAT_NONE;
  size_t size = 0;
  unsigned char *bytes = ReadFileBlock(path, &size);
  if (!bytes) {
    *error = std::string(path) + ": cannot read the file";
    return 0;
  }
  int ok = DecodePicture(bytes, size, matte, out, error);
  MemFreePtr(bytes);
  if (!ok) *error = std::string(path) + ": " + *error;
  return ok;
}
