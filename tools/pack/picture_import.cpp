// Turning an author's picture into the JPEG file a saver embeds: decoding,
// scaling down into a box, compressing, and reading the orientation tag; and
// the pass over a whole show that `build` makes before the show is written.
#include "tools/pack/picture_import.h"

#include <cstdio>
#include <cstring>

#include "raster/dib.h"
#include "shell/mem_block.h"
#include "show/file_checksum.h"
#include "show/picture_convert.h"
#include "tools/pack/pack_manifest.h"

namespace {

// The size a w x h picture takes when scaled down, keeping its proportions,
// into a box; the picture's own size when it fits or there is no box.
void FitSize(int32_t w, int32_t h, int32_t boxW, int32_t boxH, int32_t *outW, int32_t *outH) {
  *outW = w, *outH = h;
  if (boxW <= 0 || boxH <= 0 || (w <= boxW && h <= boxH)) return;
  if (int64_t(w) * boxH >= int64_t(h) * boxW) {  // the width decides
    *outW = boxW;
    *outH = int32_t((int64_t(h) * boxW + w / 2) / w);
  } else {
    *outH = boxH;
    *outW = int32_t((int64_t(w) * boxH + h / 2) / h);
  }
  if (*outW < 1) *outW = 1;
  if (*outH < 1) *outH = 1;
}

}  // namespace

int ImportPicture(const char *path, const PictureImportOptions *options, ImportedPicture *out, std::string *error) {
  memset(out, 0, sizeof *out);
  DecodedPicture decoded;
  if (!DecodePictureFile(path, options->matte, &decoded, error)) {
    out->format = decoded.format;
    return 0;
  }
  out->format = decoded.format;
  out->orientation = decoded.orientation;
  SIZE size;
  DibGetSize(decoded.dib, &size);
  // The box is for the picture as shown: a quarter turn swaps its sides.
  bool quarter = decoded.orientation % 2 == 1;
  int32_t w, h;
  FitSize(size.cx, size.cy, quarter ? options->fitHeight : options->fitWidth,
          quarter ? options->fitWidth : options->fitHeight, &w, &h);
  out->width = w, out->height = h;
  bool scale = w != size.cx || h != size.cy;
  if (decoded.format == FORMAT_JPEG && !scale) {
    // The player decodes it as it is: the author's own bytes go in.
    MemFree(&decoded.dib);
    if (!CopyPath(out->path, path)) {
      *error = std::string(path) + ": the path is too long";
      return 0;
    }
    return 1;
  }
  void *picture = decoded.dib;
  if (scale) {
    RECT target = {0, 0, w, h};
    picture = DibScaleSmooth(decoded.dib, &target, 1, 0);
    MemFree(&decoded.dib);
    if (!picture) {
      *error = std::string(path) + ": out of memory while scaling the picture down";
      return 0;
    }
  }
  char message[PATH_SIZE + 160] = {};
  int ok = ConvertDibToJpeg(picture, path, options->quality, options->tempFolder, out->path, message, sizeof message);
  MemFree(&picture);
  if (!ok) {
    *error = message;
    return 0;
  }
  out->temporary = 1;
  return 1;
}

int ImportShowPictures(ShowDocument *show, int saver, const PictureImportOptions *options,
                       std::vector<std::string> *temporaries, std::string *error) {
  for (int32_t i = 0; i < show->pages.pageCount; ++i) {
    Page &page = show->pages.pages[i];
    for (int32_t j = 0; j < page.pictureCount; ++j) {
      PictureRecord &record = page.pictures[j];
      std::string where = "page " + std::to_string(i + 1) + " picture " + std::to_string(j + 1) + ": ";
      if (!saver) {
        // The working variant names the file; only the orientation is read.
        if (record.orientation != ORIENTATION_FROM_PICTURE) continue;
        size_t size = 0;
        unsigned char *bytes = ReadFileBlock(record.path, &size);
        if (!bytes) {
          *error = where + record.path + ": cannot read the file";
          return 0;
        }
        record.orientation = OrientationForExif(PictureExifOrientation(bytes, size, PictureFormatOf(bytes, size)));
        MemFreePtr(bytes);
        continue;
      }
      PictureImportOptions pageOptions = *options;
      pageOptions.matte = page.backgroundColour;
      ImportedPicture imported;
      std::string message;
      if (!ImportPicture(record.path, &pageOptions, &imported, &message)) {
        *error = where + message;
        return 0;
      }
      if (imported.temporary) {
        temporaries->push_back(imported.path);
        memcpy(record.path, imported.path, PATH_SIZE);
      }
      if (record.orientation == ORIENTATION_FROM_PICTURE) record.orientation = imported.orientation;
    }
  }
  return 1;
}

void RemoveTemporaries(std::vector<std::string> *temporaries) {
  for (const std::string &path : *temporaries) remove(path.c_str());
  temporaries->clear();
}
