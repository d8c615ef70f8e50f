// The picture report: recording the first problem a reader meets, the size
// check every reader makes before it allocates, and the reason in words.
#include "raster/picture_report.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

void PictureReportClear(PictureReport *report) {
  if (report) memset(report, 0, sizeof *report);
}

void PictureReportSet(PictureReport *report, int problem, const char *format, ...) {
  if (!report || report->problem != PICTURE_FINE) return;
  report->problem = problem;
  report->detail[0] = 0;
  if (format) {
    va_list args;
    va_start(args, format);
    vsnprintf(report->detail, sizeof report->detail, format, args);
    va_end(args);
  }
}

int PictureSizeAllowed(int64_t width, int64_t height, PictureReport *report) {
  if (width <= 0 || height <= 0) {
    PictureReportSet(report, PICTURE_EMPTY, "the picture is %lld x %lld pixels", (long long)width, (long long)height);
    return 0;
  }
  if (uint64_t(width) * uint64_t(height) <= PICTURE_MAX_PIXELS) return 1;
  if (report && report->problem == PICTURE_FINE) {
    report->width = width;
    report->height = height;
  }
  PictureReportSet(report, PICTURE_TOO_LARGE, nullptr);
  return 0;
}

namespace {

// Side of the largest square picture: the square root of the pixel limit.
uint64_t SquareSide() {
  uint64_t side = 1;
  while ((side + 1) * (side + 1) <= PICTURE_MAX_PIXELS) ++side;
  return side;
}

}  // namespace

void PictureReportText(const PictureReport *report, char *out, size_t size) {
  if (!out || !size) return;
  out[0] = 0;
  if (!report) return;
  const char *d = report->detail;
  char tail[sizeof report->detail + 4] = "";
  if (d[0]) snprintf(tail, sizeof tail, " (%s)", d);
  unsigned long long side = SquareSide();
  switch (report->problem) {
    case PICTURE_FINE: break;
    case PICTURE_MISSING: snprintf(out, size, "cannot be read%s", tail); break;
    case PICTURE_EMPTY: snprintf(out, size, "empty%s", d[0] ? tail : " (the file holds no bytes)"); break;
    case PICTURE_NOT_A_PICTURE: snprintf(out, size, "not a picture%s", tail); break;
    case PICTURE_UNSUPPORTED: snprintf(out, size, "%s", d[0] ? d : "in a form that cannot be read"); break;
    case PICTURE_TOO_LARGE:
      if (report->width > 0 && report->height > 0)
        snprintf(out, size, "too large: %lld x %lld pixels; a picture may have at most %llu (%llu x %llu)%s",
                 (long long)report->width, (long long)report->height, (unsigned long long)PICTURE_MAX_PIXELS, side,
                 side, tail);
      else
        snprintf(out, size, "too large%s", tail);
      break;
    case PICTURE_TOO_BIG:
      snprintf(out, size, "too big: %llu bytes; a picture file may have at most %llu%s",
               (unsigned long long)report->fileBytes, (unsigned long long)PICTURE_MAX_FILE_BYTES, tail);
      break;
    case PICTURE_TOO_MANY_SCANS:
      snprintf(out, size, "too many scans: more than %d, the most a JPEG may have", JPEG_MAX_SCANS);
      break;
    case PICTURE_CUT_SHORT: snprintf(out, size, "cut short%s", tail); break;
    case PICTURE_DAMAGED: snprintf(out, size, "damaged%s", tail); break;
    case PICTURE_STOPPED: snprintf(out, size, "stopped before it was read%s", tail); break;
    case PICTURE_NO_MEMORY: snprintf(out, size, "out of memory%s", tail); break;
    default: snprintf(out, size, "unreadable%s", tail); break;
  }
}
