// PNG pictures through libpng: every bit depth, palette, grey and alpha, as
// 8-bit samples laid over the matte colour, and the EXIF block of an eXIf
// chunk. Each chunk's length is checked against the file before libpng
// reads it, the chunks the pixels do not need are dropped unread, and the
// size is checked before the one block the pixels are decoded into.
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <png.h>

#include "raster/dib.h"
#include "shell/base/mem_block.h"
#include "raster/picture_formats.h"

namespace {

uint32_t BigEndian32(const unsigned char *p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// Every chunk's declared length against what the file holds, before libpng
// allocates anything for one: a chunk that claims more bytes than follow
// makes the file cut short, however large its claim.
bool ChunksFit(const unsigned char *bytes, size_t size, PictureReport *report) {
  size_t pos = 8;
  for (;;) {
    if (size - pos < 8) {
      PictureReportSet(report, PICTURE_CUT_SHORT, "it ends before its IEND chunk");
      return false;
    }
    uint32_t length = BigEndian32(bytes + pos);
    char type[5] = {char(bytes[pos + 4]), char(bytes[pos + 5]), char(bytes[pos + 6]), char(bytes[pos + 7]), 0};
    for (char &c : type)
      if (c && (c < 0x20 || c > 0x7E)) c = '?';
    if (length > 0x7FFFFFFFu) {
      PictureReportSet(report, PICTURE_DAMAGED, "its %s chunk has the length %u", type, unsigned(length));
      return false;
    }
    if (size - pos < 12 || length > size - pos - 12) {
      PictureReportSet(report, PICTURE_CUT_SHORT, "its %s chunk claims %u bytes; %llu follow", type, unsigned(length),
                       (unsigned long long)(size - pos - 8));
      return false;
    }
    if (memcmp(type, "IEND", 4) == 0) return true;
    pos += 12 + size_t(length);
  }
}

struct MemoryInput {
  const unsigned char *bytes;
  size_t size;
  size_t pos;
  char message[160];  // libpng's error
};

void ReadInput(png_structp png, png_bytep out, size_t count) {
  MemoryInput *in = static_cast<MemoryInput *>(png_get_io_ptr(png));
  if (in->size - in->pos < count) png_error(png, "cut short");
  memcpy(out, in->bytes + in->pos, count);
  in->pos += count;
}

void KeepError(png_structp png, png_const_charp message) {
  MemoryInput *in = static_cast<MemoryInput *>(png_get_error_ptr(png));
  if (in && !in->message[0]) snprintf(in->message, sizeof in->message, "%s", message ? message : "");
  png_longjmp(png, 1);
}
void QuietError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void QuietWarning(png_structp, png_const_charp) {}

// What libpng's error means: its words for data that ends early, or damage.
int ProblemOfMessage(const char *message) {
  return strstr(message, "cut short") || strstr(message, "Not enough image data") || strstr(message, "Read Error")
             ? PICTURE_CUT_SHORT
             : PICTURE_DAMAGED;
}

// The chunks the pixels do not need: dropped unread, whatever they claim.
const png_byte kIgnored[] = "tEXt\0zTXt\0iTXt\0sPLT\0iCCP\0tIME\0pHYs\0hIST\0sBIT\0bKGD\0oFFs\0pCAL\0sCAL\0sTER\0cHRM\0eXIf";

}  // namespace

void *DecodePng(const unsigned char *bytes, size_t size, COLORREF matte, PictureReport *report) {
  if (!ChunksFit(bytes, size, report)) return nullptr;
  MemoryInput in = {bytes, size, 0, {0}};
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &in, KeepError, QuietWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    PictureReportSet(report, PICTURE_NO_MEMORY, nullptr);
    return nullptr;
  }
  void *volatile canvas = nullptr;
  png_bytep *volatile rows = nullptr;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    void *lost = canvas;
    MemFree(&lost);
    png_bytep *lostRows = rows;
    MemFreePtr(lostRows);
    // A report already set (the size check) is kept; otherwise libpng's words.
    PictureReportSet(report, ProblemOfMessage(in.message), "%s", in.message);
    return nullptr;
  }
  png_set_read_fn(png, &in, ReadInput);
  // libpng's own limits: no ancillary chunk over 8 MB, no side over a million.
  png_set_user_limits(png, 1000000, 1000000);
  png_set_chunk_malloc_max(png, 8000000);
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kIgnored, int(sizeof kIgnored / 5));
  png_read_info(png, info);
  png_uint_32 width = png_get_image_width(png, info), height = png_get_image_height(png, info);
  if (!PictureSizeAllowed(width, height, report)) png_longjmp(png, 1);
  // 8-bit samples with straight alpha, blue first, laid over the matte here
  // as the other formats are. A gamma the file declares is turned into the
  // sRGB one screens show; a file without one is taken as sRGB.
  png_set_expand(png);
  png_set_scale_16(png);
  png_set_gray_to_rgb(png);
  png_set_gamma(png, PNG_DEFAULT_sRGB, PNG_DEFAULT_sRGB);
  png_set_bgr(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != size_t(width) * 4) png_error(png, "unexpected row layout");
  BYTE *pixels = nullptr;
  canvas = NewWideCanvas(width, height, &pixels, report);
  rows = static_cast<png_bytep *>(MemAlloc(size_t(height) * sizeof(png_bytep)));
  if (!canvas || !rows) {
    PictureReportSet(report, PICTURE_NO_MEMORY, nullptr);
    png_longjmp(png, 1);
  }
  // The picture's top row goes last in the block: rows bottom-up.
  for (png_uint_32 y = 0; y < height; ++y) rows[y] = pixels + size_t(height - 1 - y) * width * 4;
  png_read_image(png, rows);
  png_destroy_read_struct(&png, &info, nullptr);
  png_bytep *done = rows;
  MemFreePtr(done);
  return FinishWideCanvas(canvas, int32_t(width), int32_t(height), WideLayout{2, 1, 0, 3, false}, matte);
}


int PngExifOrientation(const unsigned char *bytes, size_t size) {
#ifdef PNG_eXIf_SUPPORTED
  if (!bytes || size < 8 || !ChunksFit(bytes, size, nullptr)) return 0;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, QuietError, QuietWarning);
  if (!png) return 0;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return 0;
  }
  MemoryInput in = {bytes, size, 0, {0}};
  png_set_read_fn(png, &in, ReadInput);
  png_set_chunk_malloc_max(png, 8000000);
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
