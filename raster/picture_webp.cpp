// WebP pictures through libwebp: still pictures and the first frame of an
// animation, placed on the canvas the file declares and laid over the matte
// colour; the EXIF chunk through its container reader. The canvas size is
// checked before anything is decoded, and a frame that covers the canvas is
// decoded straight into the block that becomes the picture.
#include <cstring>

#include <webp/decode.h>
#include <webp/demux.h>

#include "raster/dib.h"
#include "shell/base/mem_block.h"
#include "raster/picture_formats.h"

namespace {

int ProblemOf(VP8StatusCode status) {
  switch (status) {
    case VP8_STATUS_NOT_ENOUGH_DATA: return PICTURE_CUT_SHORT;
    case VP8_STATUS_UNSUPPORTED_FEATURE: return PICTURE_UNSUPPORTED;
    case VP8_STATUS_OUT_OF_MEMORY: return PICTURE_NO_MEMORY;
    default: return PICTURE_DAMAGED;
  }
}

void SetStatus(PictureReport *report, VP8StatusCode status, const char *what) {
  int problem = ProblemOf(status);
  if (problem == PICTURE_UNSUPPORTED)
    PictureReportSet(report, problem, "a WebP of a kind that cannot be read (%s)", what);
  else
    PictureReportSet(report, problem, "%s", what);
}

// Decodes one frame's bitstream into width x height pixels of blue, green,
// red and alpha at out (stride bytes a row), the last row first when flip.
VP8StatusCode DecodeFrame(const uint8_t *bytes, size_t size, uint8_t *out, int width, int height, int stride,
                          bool flip) {
  WebPDecoderConfig config;
  if (!WebPInitDecoderConfig(&config)) return VP8_STATUS_INVALID_PARAM;
  config.options.flip = flip ? 1 : 0;
  config.options.use_threads = 0;
  config.output.colorspace = MODE_BGRA;  // not premultiplied
  config.output.is_external_memory = 1;
  config.output.width = width;
  config.output.height = height;
  config.output.u.RGBA.rgba = out;
  config.output.u.RGBA.stride = stride;
  config.output.u.RGBA.size = size_t(stride) * size_t(height);
  VP8StatusCode status = WebPDecode(bytes, size, &config);
  WebPFreeDecBuffer(&config.output);
  return status;
}

}  // namespace

void *DecodeWebp(const unsigned char *bytes, size_t size, COLORREF matte, PictureReport *report) {
  // The canvas size first, so that nothing large is allocated for a picture
  // that may not be that large.
  WebPBitstreamFeatures features;
  VP8StatusCode status = WebPGetFeatures(bytes, size, &features);
  if (status != VP8_STATUS_OK) {
    SetStatus(report, status, "its header cannot be read");
    return nullptr;
  }
  if (!PictureSizeAllowed(features.width, features.height, report)) return nullptr;
  // The first frame and where it lies (a still picture is one frame covering
  // the canvas); the rest of an animation is not decoded.
  WebPData data = {bytes, size};
  WebPDemuxState state;
  WebPDemuxer *demux = WebPDemuxPartial(&data, &state);
  WebPIterator frame;
  bool found = demux && WebPDemuxGetFrame(demux, 1, &frame);
  if (!found || state != WEBP_DEMUX_DONE) {
    PictureReportSet(report, state == WEBP_DEMUX_PARSED_HEADER || state == WEBP_DEMUX_PARSING_HEADER || found
                                 ? PICTURE_CUT_SHORT
                                 : PICTURE_DAMAGED,
                     "its frames cannot be read");
    if (found) WebPDemuxReleaseIterator(&frame);
    if (demux) WebPDemuxDelete(demux);
    return nullptr;
  }
  int canvasW = int(WebPDemuxGetI(demux, WEBP_FF_CANVAS_WIDTH)), canvasH = int(WebPDemuxGetI(demux, WEBP_FF_CANVAS_HEIGHT));
  void *canvas = nullptr;
  if (canvasW != features.width || canvasH != features.height || frame.x_offset < 0 || frame.y_offset < 0 ||
      frame.width <= 0 || frame.height <= 0 || frame.x_offset + frame.width > canvasW ||
      frame.y_offset + frame.height > canvasH) {
    PictureReportSet(report, PICTURE_DAMAGED, "its first frame lies outside its canvas");
  } else if (frame.x_offset == 0 && frame.y_offset == 0 && frame.width == canvasW && frame.height == canvasH) {
    // The frame is the picture: decoded bottom-up into the block that becomes it.
    BYTE *pixels = nullptr;
    canvas = NewWideCanvas(canvasW, canvasH, &pixels, report);
    if (canvas) {
      status = DecodeFrame(frame.fragment.bytes, frame.fragment.size, pixels, canvasW, canvasH, canvasW * 4, true);
      if (status == VP8_STATUS_OK) {
        canvas = FinishWideCanvas(canvas, canvasW, canvasH, WideLayout{2, 1, 0, 3, false}, matte);
      } else {
        SetStatus(report, status, "its picture data cannot be decoded");
        MemFree(&canvas);
      }
    }
  } else {
    // A smaller first frame over the canvas, which starts transparent: the
    // frame laid over the matte where it lies, the matte elsewhere.
    canvas = NewCanvas(canvasW, canvasH, matte, report);
    uint8_t *rows = canvas ? static_cast<uint8_t *>(MemAlloc(size_t(frame.width) * size_t(frame.height) * 4)) : nullptr;
    if (canvas && !rows) PictureReportSet(report, PICTURE_NO_MEMORY, nullptr);
    status = rows ? DecodeFrame(frame.fragment.bytes, frame.fragment.size, rows, frame.width, frame.height,
                                frame.width * 4, false)
                  : VP8_STATUS_OUT_OF_MEMORY;
    if (rows && status != VP8_STATUS_OK) SetStatus(report, status, "its picture data cannot be decoded");
    if (status == VP8_STATUS_OK) {
      for (int y = 0; y < frame.height; ++y) {
        BYTE *row = CanvasRow(canvas, frame.y_offset + y) + size_t(frame.x_offset) * 3;
        const uint8_t *p = rows + size_t(y) * size_t(frame.width) * 4;
        for (int x = 0; x < frame.width; ++x, p += 4) BlendPixel(row + x * 3, p[2], p[1], p[0], p[3]);
      }
    } else {
      MemFree(&canvas);
    }
    MemFreePtr(rows);
  }
  WebPDemuxReleaseIterator(&frame);
  WebPDemuxDelete(demux);
  return canvas;
}

int WebpExifOrientation(const unsigned char *bytes, size_t size) {
  WebPData data = {bytes, size};
  WebPDemuxer *demux = WebPDemux(&data);
  if (!demux) return 0;
  int value = 0;
  WebPChunkIterator chunk;
  if (WebPDemuxGetChunk(demux, "EXIF", 1, &chunk)) {
    value = ExifBlockOrientation(chunk.chunk.bytes, chunk.chunk.size);
    WebPDemuxReleaseChunkIterator(&chunk);
  }
  WebPDemuxDelete(demux);
  return value;
}
