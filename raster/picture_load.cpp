// Turning a picture file (or picture bytes in memory) into a Dib: BMP first,
// then JPEG; reading a picture file no further than its picture goes;
// telling what kind of picture a file is and how large, without decoding
// it; and the extension test that tells sound files from pictures.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "raster/dib_internal.h"
#include "raster/picture_report.h"
#include "shell/base/mem_block.h"
#include "shell/base/path_ops.h"

namespace {

int FileExists(const char *path) {
  if (!path || !*path) return 0;
  FILE *file = fopen(path, "rb");
  if (!file) return 0;
  fclose(file);
  return 1;
}

}  // namespace

void *PictureLoadChecked(const char *path, int scaleDenom, const DecodeStop *stop, PictureReport *report) {
  PictureReportClear(report);
  FILE *file = path && *path ? fopen(path, "rb") : nullptr;
  if (!file) {
    PictureReportSet(report, PICTURE_MISSING, nullptr);
    return nullptr;
  }
  // A JPEG starts FF D8; anything else is read as a BMP (whose header sizes
  // 12 and 40 cannot start that way), so each file meets one reader.
  int c0 = getc(file), c1 = getc(file);
  void *dib = nullptr;
  if (c0 == 0xFF && c1 == 0xD8) {
    fclose(file);
    dib = JpegDecodeFileReport(path, scaleDenom, stop, report);
  } else {
    ByteSource src = ByteSourceFile(file);
    if (fseek(file, 0, SEEK_SET) == 0) dib = DibLoadFrom(&src, report);
    else PictureReportSet(report, PICTURE_MISSING, nullptr);
    fclose(file);
  }
  if (dib && MemSize(dib) == 0) MemFree(&dib);
  return dib;
}

void *PictureLoad(const char *path, int scaleDenom) { return PictureLoadChecked(path, scaleDenom, nullptr, nullptr); }

namespace {

// The size of an open file, 64-bit everywhere; -1 when it cannot be told.
int64_t FileLength(FILE *file) {
#ifdef _WIN32
  if (_fseeki64(file, 0, SEEK_END) != 0) return -1;
  int64_t length = _ftelli64(file);
#else
  if (fseeko(file, 0, SEEK_END) != 0) return -1;
  int64_t length = int64_t(ftello(file));
#endif
  return fseek(file, 0, SEEK_SET) == 0 ? length : -1;
}

}  // namespace

unsigned char *ReadPictureFile(const char *path, size_t *size, uint64_t *dropped, PictureReport *report) {
  *size = 0;
  if (dropped) *dropped = 0;
  PictureReportClear(report);
  FILE *file = path && *path ? fopen(path, "rb") : nullptr;
  if (!file) {
    PictureReportSet(report, PICTURE_MISSING, nullptr);
    return nullptr;
  }
  int64_t total = FileLength(file);
  unsigned char head[3] = {0, 0, 0};
  size_t got = total > 0 ? fread(head, 1, 3, file) : 0;
  int64_t length = total;
  if (total > 0 && got == 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF) {
    // Only the picture: what follows its end marker (a phone's video, zeros)
    // is never read. Without an end marker the whole file goes to the decoder.
    int64_t end = JpegFileDataLength(file);
    if (end > 0) length = end;
  }
  unsigned char *bytes = nullptr;
  if (total < 0 || fseek(file, 0, SEEK_SET) != 0) {
    PictureReportSet(report, PICTURE_MISSING, nullptr);
  } else if (total == 0) {
    PictureReportSet(report, PICTURE_EMPTY, nullptr);
  } else if (uint64_t(length) > PICTURE_MAX_FILE_BYTES || uint64_t(length) > SIZE_MAX) {
    if (report && report->problem == PICTURE_FINE) report->fileBytes = uint64_t(length);
    PictureReportSet(report, PICTURE_TOO_BIG, nullptr);
  } else {
    bytes = static_cast<unsigned char *>(MemAlloc(size_t(length)));
    if (!bytes) {
      PictureReportSet(report, PICTURE_NO_MEMORY, "%lld bytes for the file", (long long)length);
    } else if (fread(bytes, 1, size_t(length), file) != size_t(length)) {
      MemFreePtr(bytes);
      PictureReportSet(report, PICTURE_MISSING, "a read failed");
    } else {
      *size = size_t(length);
      if (dropped) *dropped = uint64_t(total - length);
    }
  }
  fclose(file);
  return bytes;
}

int PictureKind(const char *path) {
  if (!FileExists(path)) return PICTURE_NONE;
  if (DibProbeFile(path)) return PICTURE_BMP;
  if (JpegScanHeader(path, nullptr, nullptr, nullptr)) return PICTURE_JPEG;
  return PICTURE_NONE;
}

int PictureSize(const char *path, SIZE *size) {
  if (!size) return 0;
  size->cx = size->cy = 0;
  if (!FileExists(path)) return 0;
  if (DibFileSize(path, size)) return 1;
  int w, h, bits;
  if (JpegScanHeader(path, &w, &h, &bits)) {
    size->cx = w;
    size->cy = h;
    return 1;
  }
  size->cx = size->cy = 0;
  return 0;
}

int IsSoundFile(const char *path) {
  static const char *const SOUND_EXTENSIONS[] = {"wav", "aiff", "aif", "aifc", "au",  "ra",  "snd", "mpa",
                                                 "mpe", "mp2",  "mp3", "mp4",  "mp5", "mid", "rmi", "wma"};
  const char *ext = ExtensionPart(path);
  if (!ext || !*ext) return 0;
  for (const char *known : SOUND_EXTENSIONS) {
    size_t i = 0;
    for (; known[i] && ext[i]; ++i) {
      char c = ext[i];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      if (c != known[i]) break;
    }
    if (!known[i] && !ext[i]) return 1;
  }
  return 0;
}

void *DibFromImageData(const void *bytes, size_t size) {
  if (!bytes || !size) return nullptr;
  void *dib = DibLoadMemory(bytes, size);
  if (!dib) dib = JpegDecodeMemory(bytes, size, 1);
  return dib;
}
