// The JPEG check, and the conversion of other pictures to JPEG: PictureLoad
// decodes them exactly as the player will, libjpeg (IJG 6b interface)
// compresses the 24-bit rows. libjpeg's fatal errors come back here through
// longjmp, so a failure is a clean 0 instead of the end of the process.
#include "show/picture_convert.h"

#include <cerrno>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif
// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

#include "raster/dib.h"
#include "shell/base/mem_block.h"
#include "shell/base/path_ops.h"

static_assert(JPEG_LIB_VERSION == 62, "the encoder is written for the IJG 6b interface");

#ifdef _WIN32
#define OpenNew(path) _open(path, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE)
#define OpenStream _fdopen
#define CloseHandleNumber _close
#else
#define OpenNew(path) open(path, O_WRONLY | O_CREAT | O_EXCL, 0600)
#define OpenStream fdopen
#define CloseHandleNumber close
#endif

int IsJpegData(const unsigned char *bytes, size_t size) {
  return size >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF;
}

namespace {

struct ErrorManager {
  jpeg_error_mgr pub;
  jmp_buf jump;
};

void ErrorExit(j_common_ptr cinfo) { longjmp(reinterpret_cast<ErrorManager *>(cinfo->err)->jump, 1); }
void NoMessage(j_common_ptr) {}

// Compresses the rows of a 24-bit Dib (bottom-up, blue green red) into file.
int Compress(FILE *file, const void *rgb, int quality) {
  SIZE size;
  if (!DibGetSize(rgb, &size) || size.cx <= 0 || size.cy == 0) return 0;
  const BITMAPINFOHEADER *header = static_cast<const BITMAPINFOHEADER *>(rgb);
  int32_t width = size.cx, height = size.cy < 0 ? -size.cy : size.cy;
  bool bottomUp = header->biHeight > 0;
  uint32_t stride = DibStride(width, 24);
  const BYTE *bits = DibBits(rgb);
  if (!stride || !bits) return 0;

  jpeg_compress_struct cinfo;
  ErrorManager err;
  JSAMPLE *volatile row = nullptr;
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = ErrorExit;
  err.pub.output_message = NoMessage;
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&cinfo);
    JSAMPLE *lost = row;
    MemFreePtr(lost);
    return 0;
  }
  jpeg_CreateCompress(&cinfo, JPEG_LIB_VERSION, sizeof(cinfo));
  jpeg_stdio_dest(&cinfo, file);
  cinfo.image_width = JDIMENSION(width);
  cinfo.image_height = JDIMENSION(height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  row = static_cast<JSAMPLE *>(MemAlloc(size_t(width) * 3));
  if (!row) {
    jpeg_destroy_compress(&cinfo);
    return 0;
  }
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    int32_t y = int32_t(cinfo.next_scanline);  // top-down
    const BYTE *src = bits + size_t(bottomUp ? height - 1 - y : y) * stride;
    JSAMPLE *out = row;
    for (int32_t x = 0; x < width; ++x, src += 3, out += 3) {
      out[0] = src[2];
      out[1] = src[1];
      out[2] = src[0];
    }
    JSAMPROW rows[1] = {row};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  JSAMPLE *done = row;
  MemFreePtr(done);
  return 1;
}

// Joins folder and name with the platform's separator into out (PATH_SIZE).
int FolderFile(const char *folder, const char *name, char *out) {
#ifdef _WIN32
  return CopyPath(out, folder) && JoinPath(out, name);
#else
  size_t len = strlen(folder);
  const char *sep = len && folder[len - 1] == '/' ? "" : "/";
  int n = snprintf(out, PATH_SIZE, "%s%s%s", folder, sep, name);
  return n > 0 && size_t(n) < PATH_SIZE;
#endif
}

void SystemTempFolder(char *out) {
#ifdef _WIN32
  if (GetTempPathA(PATH_SIZE, out) >= PATH_SIZE) out[0] = 0;
  if (!out[0]) CopyPath(out, ".");
#else
  const char *dir = getenv("TMPDIR");
  if (!dir || !*dir || strlen(dir) >= PATH_SIZE) dir = "/tmp";
  CopyPath(out, dir);
#endif
}

// Creates a new, empty file "<folder>/vkXXXXXXXX.TMP" that did not exist
// before (exclusive creation) and opens it for writing; null after many
// collisions or when the folder cannot be written.
FILE *CreateTempFile(const char *folder, char *outPath) {
  static unsigned counter = 0;
  unsigned seed = unsigned(time(nullptr)) ^ unsigned(clock()) ^ unsigned(reinterpret_cast<uintptr_t>(&counter) >> 4);
  for (int tries = 0; tries < 1000; ++tries) {
    char name[32];
    unsigned value = (seed + ++counter * 2654435761u) & 0xFFFFFFFFu;
    snprintf(name, sizeof name, "vk%08X.TMP", value);
    if (!FolderFile(folder, name, outPath)) return nullptr;
    int fd = OpenNew(outPath);
    if (fd >= 0) {
      FILE *file = OpenStream(fd, "wb");
      if (file) return file;
      CloseHandleNumber(fd);
      remove(outPath);
      return nullptr;
    }
    if (errno != EEXIST) return nullptr;
  }
  return nullptr;
}

void SetError(char *error, size_t errorSize, const char *format, const char *path) {
  if (error && errorSize) snprintf(error, errorSize, format, path);
}

}  // namespace

int ConvertDibToJpeg(const void *dib, const char *what, int quality, const char *tempFolder, char *outPath,
                     char *error, size_t errorSize) {
  if (outPath) outPath[0] = 0;
  if (error && errorSize) error[0] = 0;
  if (!dib || !outPath) return 0;
  if (!what) what = "picture";
  if (quality < 1) quality = 1;
  if (quality > 100) quality = 100;
  // A 24-bit picture is compressed from its own rows; other depths are widened first.
  void *wide = DibGetBitCount(dib) == 24 ? nullptr : DibToRgb24(dib);
  const void *rgb = wide ? wide : dib;
  if (DibGetBitCount(dib) != 24 && !wide) {
    SetError(error, errorSize, "%s: out of memory while converting the picture to JPEG", what);
    return 0;
  }
  char folder[PATH_SIZE];
  if (tempFolder && *tempFolder) CopyPath(folder, tempFolder);
  else SystemTempFolder(folder);
  char name[PATH_SIZE];
  FILE *file = CreateTempFile(folder, name);
  if (!file) {
    MemFree(&wide);
    SetError(error, errorSize, "%s: cannot create a temporary file for the converted picture", folder);
    return 0;
  }
  int ok = Compress(file, rgb, quality);
  if (fclose(file) != 0) ok = 0;
  MemFree(&wide);
  if (!ok) {
    remove(name);
    SetError(error, errorSize, "%s: cannot be converted to JPEG (compression or writing failed)", what);
    return 0;
  }
  CopyPath(outPath, name);
  return 1;
}

int ConvertPictureToJpeg(const char *path, int quality, const char *tempFolder, char *outPath, char *error,
                         size_t errorSize) {
  if (outPath) outPath[0] = 0;
  if (error && errorSize) error[0] = 0;
  if (!path || !outPath) return 0;
  void *dib = PictureLoad(path, 1);
  if (!dib) {
    SetError(error, errorSize, "%s: cannot be converted to JPEG: not a BMP or JPEG picture the player can show", path);
    return 0;
  }
  int ok = ConvertDibToJpeg(dib, path, quality, tempFolder, outPath, error, errorSize);
  MemFree(&dib);
  return ok;
}
