// The 32-bit frame pictures of the effects.
#include "transitions/frame_picture.h"

#include "raster/dib.h"

void *FramePictureNew(int32_t width, int32_t height) { return DibNew(width, height, 32); }

uint32_t *FramePixels(void *picture) {
  return reinterpret_cast<uint32_t *>(static_cast<unsigned char *>(picture) + sizeof(BITMAPINFOHEADER));
}
