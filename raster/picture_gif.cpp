// GIF pictures through giflib: the first frame only, placed on the logical
// screen as the file describes it, its transparent colour (from the graphic
// control block before it) showing the matte colour, interlaced rows put back
// in order. The screen's size is checked before its canvas is made, and only
// the frame's rows that can reach the canvas are decoded. Later frames of an
// animation are not read.
#include <cstring>

#include <gif_lib.h>

#include "shell/base/mem_block.h"
#include "raster/picture_formats.h"

namespace {

struct GifInput {
  const unsigned char *bytes;
  size_t size;
  size_t pos;
};

int ReadGif(GifFileType *gif, GifByteType *out, int count) {
  GifInput *in = static_cast<GifInput *>(gif->UserData);
  size_t left = in->size - in->pos;
  size_t n = count < 0 ? 0 : size_t(count) < left ? size_t(count) : left;
  memcpy(out, in->bytes + in->pos, n);
  in->pos += n;
  return int(n);
}

// The report for one of giflib's error codes.
void SetReason(PictureReport *report, int code) {
  const char *text = GifErrorString(code);
  int problem = code == D_GIF_ERR_READ_FAILED ? PICTURE_CUT_SHORT
                : code == D_GIF_ERR_NOT_GIF_FILE ? PICTURE_NOT_A_PICTURE
                : code == D_GIF_ERR_NOT_ENOUGH_MEM ? PICTURE_NO_MEMORY
                : PICTURE_DAMAGED;
  PictureReportSet(report, problem, "%s", text ? text : "unreadable");
}

// Reads the frame whose descriptor was just read onto the canvas. Only the
// part of the frame on the canvas is wanted: a frame that is not interlaced
// is read no further than the canvas's last row, and the rows that must be
// decoded are counted against the picture limit before the first one is.
bool ReadFrame(GifFileType *gif, int transparent, void *canvas, int32_t canvasWidth, int32_t canvasHeight,
               PictureReport *report) {
  const GifImageDesc &d = gif->Image;
  const ColorMapObject *map = d.ColorMap ? d.ColorMap : gif->SColorMap;
  if (!map) {
    PictureReportSet(report, PICTURE_DAMAGED, "no colour table");
    return false;
  }
  if (d.Width <= 0 || d.Height <= 0) {
    PictureReportSet(report, PICTURE_EMPTY, "its first frame is %d x %d pixels", d.Width, d.Height);
    return false;
  }
  // Interlaced rows come in four passes: every 8th from 0, every 8th from 4,
  // every 4th from 2, every 2nd from 1; each needs the passes before it.
  int64_t below = int64_t(canvasHeight) - d.Top;  // frame rows above the canvas's bottom edge
  int64_t rows = d.Interlace ? d.Height : below < 0 ? 0 : below < d.Height ? below : d.Height;
  if (uint64_t(d.Width) * uint64_t(rows) > PICTURE_MAX_PIXELS) {
    if (report && report->problem == PICTURE_FINE) report->width = d.Width, report->height = d.Height;
    PictureReportSet(report, PICTURE_TOO_LARGE, "its first frame: on a canvas of %d x %d", int(canvasWidth),
                     int(canvasHeight));
    return false;
  }
  GifPixelType *line = static_cast<GifPixelType *>(MemAlloc(size_t(d.Width)));
  if (!line) {
    PictureReportSet(report, PICTURE_NO_MEMORY, nullptr);
    return false;
  }
  static const int starts[4] = {0, 4, 2, 1}, steps[4] = {8, 8, 4, 2};
  int passes = d.Interlace ? 4 : 1;
  bool ok = true;
  for (int pass = 0; ok && pass < passes; ++pass) {
    int start = d.Interlace ? starts[pass] : 0, step = d.Interlace ? steps[pass] : 1;
    for (int y = start; ok && y < rows; y += step) {
      if (DGifGetLine(gif, line, d.Width) == GIF_ERROR) {
        SetReason(report, gif->Error);
        ok = false;
        break;
      }
      int64_t cy = int64_t(d.Top) + y;
      if (cy < 0 || cy >= canvasHeight) continue;
      BYTE *row = CanvasRow(canvas, int32_t(cy));
      for (int x = 0; x < d.Width; ++x) {
        int64_t cx = int64_t(d.Left) + x;
        int index = line[x];
        if (cx < 0 || cx >= canvasWidth || index == transparent) continue;
        GifColorType c = index < map->ColorCount ? map->Colors[index] : GifColorType{0, 0, 0};
        BlendPixel(row + cx * 3, c.Red, c.Green, c.Blue, 255);
      }
    }
  }
  MemFree(&line);
  return ok;
}

}  // namespace

void *DecodeGif(const unsigned char *bytes, size_t size, COLORREF matte, PictureReport *report) {
  GifInput in = {bytes, size, 0};
  int error = 0;
  GifFileType *gif = DGifOpen(&in, ReadGif, &error);
  if (!gif) {
    SetReason(report, error);
    return nullptr;
  }
  void *canvas = nullptr;
  int transparent = -1;
  bool done = false;
  while (!done) {
    GifRecordType type;
    if (DGifGetRecordType(gif, &type) == GIF_ERROR) {
      SetReason(report, gif->Error);
      break;
    }
    if (type == EXTENSION_RECORD_TYPE) {
      int code;
      GifByteType *block = nullptr;
      if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) {
        SetReason(report, gif->Error);
        break;
      }
      GraphicsControlBlock control;
      if (code == GRAPHICS_EXT_FUNC_CODE && block && DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
        transparent = control.TransparentColor;
      bool failed = false;
      while (block && !failed) failed = DGifGetExtensionNext(gif, &block) == GIF_ERROR;
      if (failed) {
        SetReason(report, gif->Error);
        break;
      }
    } else if (type == IMAGE_DESC_RECORD_TYPE) {
      if (DGifGetImageDesc(gif) == GIF_ERROR) {
        SetReason(report, gif->Error);
        break;
      }
      // The logical screen, or the frame itself when the screen is empty.
      int32_t w = gif->SWidth, h = gif->SHeight;
      if (w <= 0 || h <= 0) {
        w = gif->Image.Width, h = gif->Image.Height;
        gif->Image.Left = gif->Image.Top = 0;
      }
      canvas = NewCanvas(w, h, matte, report);
      if (canvas && !ReadFrame(gif, transparent, canvas, w, h, report)) MemFree(&canvas);
      done = true;
    } else if (type == TERMINATE_RECORD_TYPE) {
      PictureReportSet(report, PICTURE_EMPTY, "no picture in the file");
      break;
    } else {
      PictureReportSet(report, PICTURE_DAMAGED, "an unknown block");
      break;
    }
  }
  DGifCloseFile(gif, &error);
  return canvas;
}
