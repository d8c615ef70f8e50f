// PNG pictures through libpng: the pixels through its simplified reading
// interface (every bit depth, palette, grey and alpha, composited over the
// matte colour), the EXIF block of an eXIf chunk through the full one.
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
  image.format = PNG_FORMAT_BGR;
  void *canvas = NewCanvas(image.width, image.height, matte);
  if (!canvas) {
    png_image_free(&image);
    *why = "too large";
    return nullptr;
  }
  png_color background = {GetRValue(matte), GetGValue(matte), GetBValue(matte)};
  // A negative row step: the bottom row comes first in the buffer, as in a Dib.
  png_int_32 stride = png_int_32(DibStride(int32_t(image.width), 24));
  if (!png_image_finish_read(&image, &background, DibBits(canvas), -stride, nullptr)) {
    *why = image.message;
    png_image_free(&image);
    MemFree(&canvas);
    return nullptr;
  }
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
