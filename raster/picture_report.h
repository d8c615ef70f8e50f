// What a picture decoder found: one record that every reader fills (the
// player's BMP and JPEG readers and the authoring side's readers of every
// format), so that a file gets the same reason in the same words wherever it
// is read. Also the limits every reader checks before it allocates anything
// for a picture, and the stop request a long decode asks now and then.
#pragma once

#include <cstddef>
#include <cstdint>

#include "raster/dib.h"

// The most pixels one picture may have: 64 Mi (8192 x 8192), 192 MiB at 24
// bits and 256 MiB at 32. Reading a picture takes at most about three times
// its largest stage, so even the largest leaves most of a 32-bit program's
// 2 GiB free. The fuzz targets' smaller block limit makes this smaller too.
constexpr uint64_t PICTURE_MAX_PIXELS = DIB_MAX_PIXEL_BYTES / 4;
// The most bytes a picture file may take (a JPEG's bytes after its end
// marker do not count): more than any picture within the pixel limit needs.
constexpr uint64_t PICTURE_MAX_FILE_BYTES = DIB_MAX_PIXEL_BYTES + (1u << 20);
// The most scans a JPEG may have. Each scan of a progressive picture is a
// pass over all of it, so their count sets the decoding time; cjpeg and
// jpegtran take scripts of at most 100 scans, and cameras write about ten.
constexpr int JPEG_MAX_SCANS = 100;

enum PictureProblem {
  PICTURE_FINE = 0,
  PICTURE_MISSING,        // no such file, or it cannot be read
  PICTURE_EMPTY,          // no bytes, or no pixels
  PICTURE_NOT_A_PICTURE,  // in no format the reader knows
  PICTURE_UNSUPPORTED,    // a picture in a form the reader does not take
  PICTURE_TOO_LARGE,      // more pixels (or decoding memory) than a picture may have
  PICTURE_TOO_BIG,        // a file larger than PICTURE_MAX_FILE_BYTES
  PICTURE_TOO_MANY_SCANS, // a JPEG of more than JPEG_MAX_SCANS scans
  PICTURE_CUT_SHORT,      // the data ends before the picture does
  PICTURE_DAMAGED,        // the data is wrong
  PICTURE_STOPPED,        // the caller's stop request ended the decode
  PICTURE_NO_MEMORY,      // an allocation within the limits failed
};

struct PictureReport {
  int problem;            // PictureProblem; the first reader to set one decides
  int64_t width, height;  // the size the file declares, when known
  uint64_t fileBytes;     // for PICTURE_TOO_BIG
  char detail[200];       // the library's own words or what exactly is wrong; may be empty
};

void PictureReportClear(PictureReport *report);
// Records a problem with details (printf form, may be null); a report that
// already holds a problem keeps it. report may be null.
void PictureReportSet(PictureReport *report, int problem, const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;
// 1 when width x height is within PICTURE_MAX_PIXELS; otherwise 0 with the
// size recorded as PICTURE_TOO_LARGE (an empty size is PICTURE_EMPTY).
int PictureSizeAllowed(int64_t width, int64_t height, PictureReport *report);
// The reason in words, for example "too large: 9400 x 9400 pixels; a picture
// may have at most 67108864 (8192 x 8192)" or "cut short (Premature end of
// JPEG file)"; "" for PICTURE_FINE.
void PictureReportText(const PictureReport *report, char *out, size_t size);

// Asked now and then during a long decode; an answer of 1 ends it with
// PICTURE_STOPPED. The raster code knows nothing of what is behind it.
struct DecodeStop {
  int (*requested)(void *context);
  void *context;
};
inline int DecodeStopRequested(const DecodeStop *stop) {
  return stop && stop->requested && stop->requested(stop->context);
}
