// The 32-bit frame pictures of the effects.
#include "transitions/frame_picture.h"

#include "raster/dib.h"
#include "shell/base/mem_block.h"

void *FramePictureNew(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return nullptr;
  const uint64_t bytes = static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * 4u;
  if (bytes > DIB_MAX_PIXEL_BYTES) return nullptr;
  auto *header = static_cast<BITMAPINFOHEADER *>(MemAlloc(sizeof(BITMAPINFOHEADER) + static_cast<size_t>(bytes)));
  if (!header) return nullptr;
  header->biSize = sizeof(BITMAPINFOHEADER);
  header->biWidth = width;
  header->biHeight = height;
  header->biPlanes = 1;
  header->biBitCount = 32;
  header->biCompression = BI_RGB;
  header->biSizeImage = static_cast<DWORD>(bytes);
  return header;
}

uint32_t *FramePixels(void *picture) {
  return reinterpret_cast<uint32_t *>(static_cast<unsigned char *>(picture) + sizeof(BITMAPINFOHEADER));
}
