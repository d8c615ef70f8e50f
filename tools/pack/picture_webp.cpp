// WebP pictures through libwebp: still pictures and the first frame of an
// animation, both through its animation decoder (which composes the frame on
// the canvas the file declares), laid over the matte colour; the EXIF chunk
// through its container reader.
#include <cstring>

#include <webp/decode.h>
#include <webp/demux.h>

#include "raster/dib.h"
#include "shell/mem_block.h"
#include "tools/pack/picture_formats.h"

void *DecodeWebp(const unsigned char *bytes, size_t size, COLORREF matte, std::string *why) {
  // The canvas size first, so that nothing large is allocated for a picture
  // that may not be that large.
  WebPBitstreamFeatures features;
  if (WebPGetFeatures(bytes, size, &features) != VP8_STATUS_OK) {
    *why = "unreadable header";
    return nullptr;
  }
  void *canvas = NewCanvas(features.width, features.height, matte);
  if (!canvas) {
    *why = "too large";
    return nullptr;
  }
  WebPData data = {bytes, size};
  WebPAnimDecoderOptions options;
  WebPAnimDecoderOptionsInit(&options);
  options.color_mode = MODE_BGRA;  // not premultiplied
  options.use_threads = 0;
  WebPAnimDecoder *decoder = WebPAnimDecoderNew(&data, &options);
  WebPAnimInfo info;
  uint8_t *frame = nullptr;
  int timestamp = 0;
  if (!decoder || !WebPAnimDecoderGetInfo(decoder, &info) || int64_t(info.canvas_width) != features.width ||
      int64_t(info.canvas_height) != features.height || !WebPAnimDecoderGetNext(decoder, &frame, &timestamp) ||
      !frame) {
    *why = "damaged or cut short";
    if (decoder) WebPAnimDecoderDelete(decoder);
    MemFree(&canvas);
    return nullptr;
  }
  for (int y = 0; y < features.height; ++y) {
    BYTE *row = CanvasRow(canvas, y);
    const uint8_t *p = frame + size_t(y) * size_t(features.width) * 4;
    for (int x = 0; x < features.width; ++x, p += 4) BlendPixel(row + x * 3, p[2], p[1], p[0], p[3]);
  }
  WebPAnimDecoderDelete(decoder);
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
