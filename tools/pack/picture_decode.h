// Reading the pictures an author brings: JPEG, PNG, GIF (its first frame),
// BMP in every header form, TIFF and WebP, recognised by their contents, each
// decoded by its own well-kept library (the BMP and JPEG readers are the
// raster code's), into a 24-bit Dib, with the orientation code that shows
// the picture upright when the file carries an orientation tag. Transparent
// pixels are laid over a matte colour, since the embedded JPEG has no alpha.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "shell/win_types.h"

enum PictureFormat {
  FORMAT_NONE,  // not a picture
  FORMAT_BMP,
  FORMAT_JPEG,
  FORMAT_PNG,
  FORMAT_GIF,
  FORMAT_TIFF,
  FORMAT_WEBP,
  FORMAT_HEIF,  // recognised, so that it can be named, but not read
};

// The format by the first bytes of the file; FORMAT_NONE for anything else.
PictureFormat PictureFormatOf(const unsigned char *bytes, size_t size);
const char *PictureFormatName(PictureFormat format);

struct DecodedPicture {
  void *dib;              // 24-bit, rows bottom-up; the caller frees it with MemFree
  PictureFormat format;   // FORMAT_NONE when the bytes are no picture at all
  int32_t orientation;    // orientation code (0..11) that shows it upright; 0 without a tag
};

// Decodes picture bytes: 1 with out->dib set, or 0 with a message (which does
// not name the file) and out->dib null. out->format tells bytes that are no
// picture (FORMAT_NONE) from a picture that is damaged or cannot be read.
int DecodePicture(const unsigned char *bytes, size_t size, COLORREF matte, DecodedPicture *out, std::string *error);
// The same for a file; the message starts with the path.
int DecodePictureFile(const char *path, COLORREF matte, DecodedPicture *out, std::string *error);

// The orientation code (0..11) that shows upright a picture stored with
// EXIF/TIFF orientation value 1..8; 0 for any other value.
int32_t OrientationForExif(int exifOrientation);
// The EXIF/TIFF orientation value (1..8) that the file carries, 0 when it has
// none or it cannot be read: JPEG and WebP (their EXIF), PNG (its eXIf chunk)
// and TIFF (its own tag).
int PictureExifOrientation(const unsigned char *bytes, size_t size, PictureFormat format);
