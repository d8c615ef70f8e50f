// Turning an author's picture into the JPEG file a saver embeds: reading the
// file no further than its picture, decoding it (a JPEG at the smallest
// fraction libjpeg offers that still covers the fitted size), scaling down
// into a box, compressing, and reading the orientation tag; and the pass
// over a whole show that `build` makes before the show is written.
#include "show/picture_import.h"

#include <cstdio>
#include <cstring>

#include "raster/dib.h"
#include "shell/base/mem_block.h"
#include "show/picture_convert.h"

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

// The stored size a picture of w x h with this orientation code is fitted to.
void FitStored(int32_t w, int32_t h, int32_t orientation, const PictureImportOptions *options, int32_t *outW,
               int32_t *outH) {
  // The box is for the picture as shown: a quarter turn swaps its sides.
  bool quarter = orientation % 2 == 1;
  FitSize(w, h, quarter ? options->fitHeight : options->fitWidth, quarter ? options->fitWidth : options->fitHeight,
          outW, outH);
}

}  // namespace

int ImportPicture(const char *path, const PictureImportOptions *options, ImportedPicture *out, std::string *error) {
  memset(out, 0, sizeof *out);
  size_t fileSize = 0;
  PictureReport report;
  unsigned char *bytes = ReadPictureFile(path, &fileSize, &out->droppedBytes, &report);
  if (!bytes) {
    *error = std::string(path) + ": " + PictureProblemText(FORMAT_NONE, &report);
    return 0;
  }
  // A JPEG's size and orientation are known before it is decoded, so it can
  // be decoded no larger than the fitted size needs (or, when it is kept as
  // it is, at an eighth: the check reads every byte of its data all the same).
  PictureFormat format = PictureFormatOf(bytes, fileSize);
  PictureDecodeOptions decodeOptions = {options->matte, 0, 0, options->stop};
  int32_t jw = 0, jh = 0;
  if (format == FORMAT_JPEG) {
    int w = 0, h = 0, bits = 0;
    if (JpegScanMemory(bytes, fileSize, &w, &h, &bits) && w > 0 && h > 0) {
      int32_t code = OrientationForExif(PictureExifOrientation(bytes, fileSize, format));
      FitStored(w, h, code, options, &jw, &jh);
      bool kept = jw == w && jh == h;
      decodeOptions.coverWidth = kept ? 1 : jw;
      decodeOptions.coverHeight = kept ? 1 : jh;
    }
  }
  DecodedPicture decoded;
  int decodedOk = DecodePictureWith(bytes, fileSize, &decodeOptions, &decoded, &report);
  MemFreePtr(bytes);
  out->format = decoded.format;
  if (!decodedOk) {
    *error = std::string(path) + ": " + PictureProblemText(decoded.format, &report);
    return 0;
  }
  out->orientation = decoded.orientation;
  int32_t w, h;
  FitStored(decoded.width, decoded.height, decoded.orientation, options, &w, &h);
  out->width = w, out->height = h;
  bool scale = w != decoded.width || h != decoded.height;
  if (decoded.format == FORMAT_JPEG && !scale) {
    // The player decodes it as it is: the author's own bytes go in (the
    // writer leaves out whatever follows its end marker).
    MemFree(&decoded.dib);
    if (!CopyPath(out->path, path)) {
      *error = std::string(path) + ": the path is too long";
      return 0;
    }
    return 1;
  }
  void *picture = decoded.dib;
  SIZE now;
  DibGetSize(decoded.dib, &now);
  if (now.cx != w || now.cy != h) {
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
        PictureReport report;
        unsigned char *bytes = ReadPictureFile(record.path, &size, nullptr, &report);
        if (!bytes) {
          *error = where + record.path + ": " + PictureProblemText(FORMAT_NONE, &report);
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
