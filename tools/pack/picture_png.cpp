// PNG pictures through libpng: the pixels through its simplified reading
// interface (every bit depth, palette, grey and alpha, as 8-bit samples laid
// over the matte colour), the EXIF block of an eXIf chunk through the full one.
#include <csetjmp>
#include <cstring>

#include <png.h>

#include "raster/dib.h"
#include "shell/mem_block.h"
#include "tools/pack/picture_formats.h"

void *DecodePng(const unsigned char *bytes, size_t size, COLORREF matte, std::string *why) {
  png_image image;
  memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes, size)) {
    *why = image.message;
    return nullptr;
  }
  // 8-bit samples with straight alpha, laid over the matte here as the other
  // formats are (libpng's own compositing works in linear light).
  image.format = PNG_FORMAT_BGRA;
  void *canvas = NewCanvas(image.width, image.height, matte);
  BYTE *pixels = nullptr;
  if (canvas && uint64_t(image.width) * image.height * 4 <= DIB_MAX_PIXEL_BYTES)
    pixels = static_cast<BYTE *>(MemAlloc(size_t(image.width) * image.height * 4));
  if (!pixels) {
    png_image_free(&image);
    MemFree(&canvas);
    *why = "too large";
    return nullptr;
  }
  if (!png_image_finish_read(&image, nullptr, pixels, 0, nullptr)) {
    *why = image.message;
    png_image_free(&image);
    MemFree(&canvas);
    MemFree(&pixels);
    return nullptr;
  }
  for (uint32_t y = 0; y < image.height; ++y) {
    BYTE *row = CanvasRow(canvas, int32_t(y));
    const BYTE *p = pixels + size_t(y) * image.width * 4;
    for (uint32_t x = 0; x < image.width; ++x, p += 4) BlendPixel(row + x * 3, p[2], p[1], p[0], p[3]);
  }
  MemFree(&pixels);
  return canvas;
}

namespace {

struct MemoryInput {
  const unsigned char *bytes;
  size_t size;
  size_t pos;
};

void ReadInput(png_structp png, png_bytep out, size_t count) {
  MemoryInput *in = static_cast<MemoryInput *>(png_get_io_ptr(png));
  if (in->size - in->pos < count) png_error(png, "cut short");
  memcpy(out, in->bytes + in->pos, count);
  in->pos += count;
}

void QuietError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void QuietWarning(png_structp, png_const_charp) {}

}  // namespace

int PngExifOrientation(const unsigned char *bytes, size_t size) {
#ifdef PNG_eXIf_SUPPORTED
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, QuietError, QuietWarning);
  if (!png) return 0;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return 0;
  }
  MemoryInput in = {bytes, size, 0};
  png_set_read_fn(png, &in, ReadInput);
  volatile int value = 0;  // kept across libpng's longjmp
  if (!setjmp(png_jmpbuf(png))) {
    // The chunks before the first image data; eXIf belongs there.
    png_read_info(png, info);
    png_uint_32 length = 0;
    png_bytep exif = nullptr;
    if (png_get_eXIf_1(png, info, &length, &exif) && exif && length) value = ExifBlockOrientation(exif, length);
  }
  png_destroy_read_struct(&png, &info, nullptr);
  return value;
#else
  return 0;
#endif
}
