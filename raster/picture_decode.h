// Reading the pictures an author brings: JPEG, PNG, GIF (its first frame),
// BMP in every header form, TIFF and WebP, recognised by their contents, each
// decoded by its own well-kept library (the BMP and JPEG readers are the
// player's raster code), into a 24-bit Dib, with the orientation code that
// shows the picture upright when the file carries an orientation tag.
// Transparent pixels are laid over a matte colour, since the embedded JPEG
// has no alpha. Every reader checks the size a file declares against the
// picture limits (raster/picture_report.h) before it allocates anything for
// it, and every failure comes back as a picture report, so the player's view
// of a file and the import's give the same reason.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "raster/picture_report.h"
#include "shell/base/win_types.h"

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
// 1 when a file name ends in an extension pictures are kept under (.jpg,
// .jpeg, .png, .gif, .bmp, .dib, .tif, .tiff, .webp, .heic, ..., any case).
int HasPictureExtension(const char *name);

struct DecodedPicture {
  void *dib;              // 24-bit, rows bottom-up; the caller frees it with MemFree
  PictureFormat format;   // FORMAT_NONE when the bytes are no picture at all
  int32_t orientation;    // orientation code (0..11) that shows it upright; 0 without a tag
  int32_t width, height;  // the picture's own size (dib may be a JPEG decoded at a fraction of it)
};

struct PictureDecodeOptions {
  COLORREF matte;                     // what transparent pixels show
  int32_t coverWidth, coverHeight;    // a JPEG is decoded at 1/2, 1/4 or 1/8 of its size when that
                                      // still covers this size; 0 x 0 decodes every picture whole
  const DecodeStop *stop;             // may be null
};

// Decodes picture bytes: 1 with out->dib set, or 0 with the reason in report
// and out->dib null. out->format tells bytes that are no picture
// (FORMAT_NONE) from a picture that is damaged or cannot be read. A JPEG
// that libjpeg can only decode with warnings (cut short, corrupt data) is
// refused here, although the player would show what libjpeg makes of it.
int DecodePictureWith(const unsigned char *bytes, size_t size, const PictureDecodeOptions *options,
                      DecodedPicture *out, PictureReport *report);
// The reason as a sentence that names the format when there is one, e.g.
// "a PNG picture, cut short (...)"; it does not name the file.
std::string PictureProblemText(PictureFormat format, const PictureReport *report);

// DecodePictureWith at full size, the reason as words (not naming the file).
int DecodePicture(const unsigned char *bytes, size_t size, COLORREF matte, DecodedPicture *out, std::string *error);
// The same for a file (read with ReadPictureFile, raster/dib.h); the message starts with the path.
int DecodePictureFile(const char *path, COLORREF matte, DecodedPicture *out, std::string *error);

// The orientation code (0..11) that shows upright a picture stored with
// EXIF/TIFF orientation value 1..8; 0 for any other value.
int32_t OrientationForExif(int exifOrientation);
// The EXIF/TIFF orientation value (1..8) that the file carries, 0 when it has
// none or it cannot be read: JPEG and WebP (their EXIF), PNG (its eXIf chunk)
// and TIFF (its own tag).
int PictureExifOrientation(const unsigned char *bytes, size_t size, PictureFormat format);
