// The JPEG check: a decode through libjpeg (IJG 6b interface) whose rows are
// thrown away. Errors come back through longjmp; warnings are counted
// instead of printed.
#include "tools/pack/pack_jpeg_check.h"

#include <csetjmp>
#include <cstdio>
#include <vector>
// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

namespace {
struct Checker {
  jpeg_error_mgr pub;
  jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
  int warnings;
};

void OnError(j_common_ptr cinfo) {
  Checker *checker = reinterpret_cast<Checker *>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, checker->message);
  longjmp(checker->jump, 1);
}

// Level -1 is a warning (corrupt data); higher levels are trace messages.
void OnMessage(j_common_ptr cinfo, int level) {
  Checker *checker = reinterpret_cast<Checker *>(cinfo->err);
  if (level < 0 && checker->warnings++ == 0) (*cinfo->err->format_message)(cinfo, checker->message);
}
}  // namespace

int CheckJpegFile(const std::string &path, int32_t *width, int32_t *height, std::string *why) {
  FILE *file = fopen(path.c_str(), "rb");
  if (!file) {
    *why = "cannot be read";
    return 0;
  }
  jpeg_decompress_struct cinfo;
  Checker checker = {};
  cinfo.err = jpeg_std_error(&checker.pub);
  checker.pub.error_exit = OnError;
  checker.pub.emit_message = OnMessage;
  std::vector<JSAMPLE> row;
  if (setjmp(checker.jump)) {
    jpeg_destroy_decompress(&cinfo);
    fclose(file);
    *why = std::string("a damaged JPEG (") + checker.message + ")";
    return 0;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_stdio_src(&cinfo, file);
  jpeg_read_header(&cinfo, TRUE);
  *width = int32_t(cinfo.image_width);
  *height = int32_t(cinfo.image_height);
  cinfo.scale_num = 1;
  cinfo.scale_denom = 8;
  jpeg_start_decompress(&cinfo);
  row.resize(size_t(cinfo.output_width) * size_t(cinfo.output_components));
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW rows[1] = {row.data()};
    jpeg_read_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  fclose(file);
  if (checker.warnings) {
    *why = std::string("a damaged JPEG (") + checker.message + ")";
    return 0;
  }
  return *width > 0 && *height > 0;
}
