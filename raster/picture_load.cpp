// Turning a picture file (or picture bytes in memory) into a Dib: BMP first,
// then JPEG; telling what kind of picture a file is and how large, without
// decoding it; and the extension test that tells sound files from pictures.
#include <cstring>

#include "raster/dib_internal.h"
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

void *PictureLoad(const char *path, int scaleDenom) {
  if (!FileExists(path)) return nullptr;
  void *dib = DibLoadFile(path);
  if (!dib) dib = JpegDecodeFile(path, scaleDenom);
  if (dib && MemSize(dib) == 0) MemFree(&dib);
  return dib;
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
