// JPEG pictures: the marker scan that reads a picture's size without
// libjpeg, and decoding through libjpeg (IJG 6b interface) straight into the
// bottom-up rows of a Dib, the image that loading the equivalent BMP file
// (24-bit RGB or 8-bit grey with a grey ramp) would give; JpegToBmpFile writes
// that BMP file. libjpeg's fatal errors return here through longjmp, so a
// damaged, truncated or CMYK picture gives null instead of ending the process;
// its warnings and errors go into the picture report, never to the console.
// The size is checked before the pixels exist, the scans are counted and
// the caller's stop request is asked while libjpeg works; and the length of
// a JPEG up to its end marker is found without libjpeg.
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <cstddef>
// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>
#include <jerror.h>

#include "raster/dib_internal.h"
#include "raster/picture_report.h"
#include "shell/base/mem_block.h"

static_assert(JPEG_LIB_VERSION == 62, "the decoder is written for the IJG 6b interface");

namespace {

// ---- marker scan ------------------------------------------------------------

int ReadWord(ByteSource *src) {
  int hi = SourceGetByte(src);
  int lo = SourceGetByte(src);
  if (hi < 0 || lo < 0) return -1;
  return hi << 8 | lo;
}

// Skips count bytes; 0 when the data ends first.
int SkipBytes(ByteSource *src, int count) {
  if (src->file) {
    for (int i = 0; i < count; ++i)
      if (SourceGetByte(src) < 0) return 0;
    return 1;
  }
  if (src->size - src->pos < static_cast<size_t>(count)) {
    src->pos = src->size;
    return 0;
  }
  src->pos += static_cast<size_t>(count);
  return 1;
}

int ScanMarkers(ByteSource *src, int *width, int *height, int *bits) {
  *width = *height = *bits = 0;
  if (SourceGetByte(src) != 0xFF || SourceGetByte(src) != 0xD8) return 0;
  for (;;) {
    // Next marker: skip to an FF, then over fill bytes. The end of the data
    // before a start-of-scan or end-of-image ends the scan with 0.
    int c = SourceGetByte(src);
    while (c >= 0 && c != 0xFF) c = SourceGetByte(src);
    while (c == 0xFF) c = SourceGetByte(src);
    if (c < 0) return 0;
    switch (c) {
      case 0xC0: case 0xC1: case 0xC2: case 0xC3: case 0xC5: case 0xC6: case 0xC7:
      case 0xC9: case 0xCA: case 0xCB: case 0xCD: case 0xCE: case 0xCF: {
        int length = ReadWord(src);
        int precision = SourceGetByte(src);
        int h = ReadWord(src);
        int w = ReadWord(src);
        int components = SourceGetByte(src);
        if (length < 0 || precision < 0 || h < 0 || w < 0 || components < 0) return 0;
        *width = w;
        *height = h;
        *bits = precision * components;
        // A frame header of unexpected length is left where the scan stands.
        if (length == 8 + 3 * components && !SkipBytes(src, 3 * components)) return 0;
        break;
      }
      case 0xD9:
      case 0xDA:
        return 1;
      default: {
        // Comments and application data (APP12 included) are skipped: the
        // windowed player has nowhere to show them.
        int length = ReadWord(src);
        if (length < 0) return 0;
        if (length >= 2 && !SkipBytes(src, length - 2)) return 0;
        break;
      }
    }
  }
}

// ---- end of the data -----------------------------------------------------------

// The offset just past the end-of-image marker, walking the segments by
// their lengths and the entropy-coded data byte by byte; 0 when the data
// ends first or holds more than PICTURE_MAX_FILE_BYTES before its end.
int64_t WalkToEnd(ByteSource *src) {
  if (SourceGetByte(src) != 0xFF || SourceGetByte(src) != 0xD8) return 0;
  uint64_t walked = 2;
  for (;;) {
    int c = SourceGetByte(src);
    ++walked;
    // Entropy-coded data, or bytes between segments that are no marker.
    while (c >= 0 && c != 0xFF) {
      c = SourceGetByte(src);
      if (++walked > PICTURE_MAX_FILE_BYTES) return 0;
    }
    while (c == 0xFF) c = SourceGetByte(src), ++walked;
    if (c < 0) return 0;
    if (c == 0x00 || (c >= 0xD0 && c <= 0xD7) || c == 0x01 || c == 0xD8) continue;  // stuffing, restarts, no length
    if (c == 0xD9) return SourceTell(src);
    int length = ReadWord(src);
    if (length < 2 || !SkipBytes(src, length - 2)) return 0;
    walked += uint64_t(length);
    if (walked > PICTURE_MAX_FILE_BYTES) return 0;
  }
}

// ---- libjpeg glue -----------------------------------------------------------

struct ErrorManager {
  jpeg_error_mgr pub;
  jmp_buf jump;
  PictureReport *report;     // never null here
  const DecodeStop *stop;
  int cutShort;              // libjpeg warned that the data ended early
  int damage;                // warnings about the picture's data
  char firstWarning[JMSG_LENGTH_MAX];
};

struct ProgressMonitor {
  jpeg_progress_mgr pub;
  ErrorManager *err;
};

// Ends the decode with this problem (already recorded) through the longjmp.
[[noreturn]] void Abandon(ErrorManager *err) { longjmp(err->jump, 1); }

// The reason libjpeg's fatal errors give, by their codes.
int ProblemOf(int code) {
  switch (code) {
    case JERR_NO_BACKING_STORE:  // its whole-picture buffers would pass max_memory_to_use
    case JERR_IMAGE_TOO_BIG:
    case JERR_WIDTH_OVERFLOW:
      return PICTURE_TOO_LARGE;
    case JERR_OUT_OF_MEMORY: return PICTURE_NO_MEMORY;
    case JERR_INPUT_EMPTY: case JERR_INPUT_EOF: return PICTURE_CUT_SHORT;
    case JERR_NO_SOI: return PICTURE_NOT_A_PICTURE;
    case JERR_SOF_UNSUPPORTED: case JERR_ARITH_NOTIMPL: case JERR_NOT_COMPILED: case JERR_BAD_PRECISION:
    case JERR_CONVERSION_NOTIMPL: case JERR_EMPTY_IMAGE: case JERR_DHT_INDEX:
      return PICTURE_UNSUPPORTED;
    default: return PICTURE_DAMAGED;
  }
}

// Fatal errors: the reason goes into the report, nothing to the console.
void ErrorExit(j_common_ptr cinfo) {
  ErrorManager *err = reinterpret_cast<ErrorManager *>(cinfo->err);
  char text[JMSG_LENGTH_MAX];
  (*cinfo->err->format_message)(cinfo, text);
  int problem = ProblemOf(err->pub.msg_code);
  if (err->pub.msg_code == JERR_NO_BACKING_STORE)
    PictureReportSet(err->report, problem, "decoding it would take more than the %llu MiB a picture may use",
                     (unsigned long long)(DIB_MAX_PIXEL_BYTES >> 20));
  else if (problem == PICTURE_UNSUPPORTED)
    PictureReportSet(err->report, problem, "a JPEG of a kind that cannot be decoded (%s)", text);
  else
    PictureReportSet(err->report, problem, "%s", text);
  Abandon(err);
}

void NoOutput(j_common_ptr) {}

// Warnings (level -1) are kept for the report, trace messages dropped;
// nothing is printed. Warnings about the header's own fields do not count
// as damage: the pixels come out right.
void EmitMessage(j_common_ptr cinfo, int level) {
  if (level >= 0) return;
  ErrorManager *err = reinterpret_cast<ErrorManager *>(cinfo->err);
  int code = err->pub.msg_code;
  if (code == JWRN_ADOBE_XFORM || code == JWRN_JFIF_MAJOR || code == JWRN_BOGUS_ICC) return;
  if (code == JWRN_JPEG_EOF) err->cutShort = 1;
  if (err->damage++ == 0) (*cinfo->err->format_message)(cinfo, err->firstWarning);
}

// Called by libjpeg at each pass over the picture's rows and while it reads
// a progressive picture's scans: the scan limit and the caller's stop.
void Progress(j_common_ptr cinfo) {
  ErrorManager *err = reinterpret_cast<ProgressMonitor *>(cinfo->progress)->err;
  j_decompress_ptr d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (d->input_scan_number > JPEG_MAX_SCANS) {
    PictureReportSet(err->report, PICTURE_TOO_MANY_SCANS, nullptr);
    Abandon(err);
  }
  if (DecodeStopRequested(err->stop)) {
    PictureReportSet(err->report, PICTURE_STOPPED, nullptr);
    Abandon(err);
  }
}

// COM and APP12 segments: read and dropped (shown only when tracing).
boolean SkipTextMarker(j_decompress_ptr cinfo) {
  jpeg_source_mgr *src = cinfo->src;
  int length = 0;
  for (int i = 0; i < 2; ++i) {
    if (src->bytes_in_buffer == 0 && !(*src->fill_input_buffer)(cinfo)) return FALSE;
    length = length << 8 | *src->next_input_byte++;
    --src->bytes_in_buffer;
  }
  length -= 2;
  if (length > 0) (*src->skip_input_data)(cinfo, length);
  return TRUE;
}

// Decodes from a file or from memory; null on any failure, with the reason
// in report. A picture that libjpeg could only decode with warnings comes
// back with PICTURE_CUT_SHORT or PICTURE_DAMAGED recorded.
void *Decode(FILE *file, const void *bytes, size_t size, int scaleDenom, const DecodeStop *stop,
             PictureReport *report) {
  PictureReport local;
  if (!report) report = &local;
  PictureReportClear(report);
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  ProgressMonitor progress;
  void *volatile dib = nullptr;
  memset(&err, 0, sizeof err);
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = ErrorExit;
  err.pub.emit_message = EmitMessage;
  err.pub.output_message = NoOutput;
  err.report = report;
  err.stop = stop;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    void *lost = dib;
    MemFree(&lost);
    return nullptr;
  }
  jpeg_CreateDecompress(&cinfo, JPEG_LIB_VERSION, sizeof(cinfo));
  progress.pub.progress_monitor = Progress;
  progress.err = &err;
  cinfo.progress = &progress.pub;
  // Bound libjpeg's own buffers (a progressive picture keeps every
  // coefficient): beyond this it fails cleanly rather than exhaust memory.
  cinfo.mem->max_memory_to_use = static_cast<long>(DIB_MAX_PIXEL_BYTES);
  jpeg_set_marker_processor(&cinfo, JPEG_COM, SkipTextMarker);
  jpeg_set_marker_processor(&cinfo, JPEG_APP0 + 12, SkipTextMarker);
  if (file)
    jpeg_stdio_src(&cinfo, file);
  else
    jpeg_mem_src(&cinfo, static_cast<const unsigned char *>(bytes), static_cast<unsigned long>(size));
  jpeg_read_header(&cinfo, TRUE);
  // The declared size decides before anything of the picture's size exists.
  if (!PictureSizeAllowed(cinfo.image_width, cinfo.image_height, report)) Abandon(&err);
  cinfo.scale_num = 1;
  cinfo.scale_denom = static_cast<unsigned>(scaleDenom < 1 ? 1 : scaleDenom);
  int bitCount;
  if (cinfo.out_color_space == JCS_RGB) {
    // The same samples, delivered in the order BMP rows store them.
    cinfo.out_color_space = JCS_EXT_BGR;
    bitCount = 24;
  } else if (cinfo.out_color_space == JCS_GRAYSCALE) {
    bitCount = 8;
  } else {
    // CMYK, YCCK: no BMP form.
    PictureReportSet(report, PICTURE_UNSUPPORTED, "a CMYK JPEG, which the player cannot show");
    Abandon(&err);
  }
  jpeg_calc_output_dimensions(&cinfo);
  int32_t width = static_cast<int32_t>(cinfo.output_width), height = static_cast<int32_t>(cinfo.output_height);
  uint32_t stride = DibStride(width, bitCount);
  uint64_t pixels = static_cast<uint64_t>(stride) * static_cast<uint64_t>(height);
  if (!stride || height <= 0 || pixels > DIB_MAX_PIXEL_BYTES ||
      static_cast<uint64_t>(width) * cinfo.out_color_components > stride) {
    report->width = cinfo.image_width;
    report->height = cinfo.image_height;
    PictureReportSet(report, PICTURE_TOO_LARGE, nullptr);
    Abandon(&err);
  }
  size_t colours = bitCount == 8 ? 256 : 0;
  size_t headerBytes = sizeof(BITMAPINFOHEADER) + colours * 4;
  BYTE *block = static_cast<BYTE *>(MemAlloc(headerBytes + static_cast<size_t>(pixels)));
  if (!block) {
    PictureReportSet(report, PICTURE_NO_MEMORY, "%llu bytes for the pixels", (unsigned long long)pixels);
    Abandon(&err);
  }
  dib = block;
  BITMAPINFOHEADER *h = reinterpret_cast<BITMAPINFOHEADER *>(block);
  h->biSize = sizeof(BITMAPINFOHEADER);
  h->biWidth = width;
  h->biHeight = height;
  h->biPlanes = 1;
  h->biBitCount = static_cast<WORD>(bitCount);
  h->biCompression = BI_RGB;
  h->biSizeImage = static_cast<DWORD>(pixels);
  if (cinfo.density_unit == 2) {
    h->biXPelsPerMeter = static_cast<LONG>(cinfo.X_density) * 100;
    h->biYPelsPerMeter = static_cast<LONG>(cinfo.Y_density) * 100;
  }
  h->biClrUsed = static_cast<DWORD>(colours);
  RGBQUAD *table = reinterpret_cast<RGBQUAD *>(h + 1);
  for (size_t i = 0; i < colours; ++i) {
    table[i].rgbBlue = table[i].rgbGreen = table[i].rgbRed = static_cast<BYTE>(i);
    table[i].rgbReserved = 0;
  }
  BYTE *bits = block + headerBytes;
  jpeg_start_decompress(&cinfo);
  // The first decoded line is the picture's top: the last row of the Dib.
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW rows[16];
    int want = cinfo.rec_outbuf_height > 16 ? 16 : cinfo.rec_outbuf_height;
    if (want < 1) want = 1;
    for (int i = 0; i < want; ++i) {
      uint32_t line = cinfo.output_scanline + static_cast<uint32_t>(i);
      if (line >= cinfo.output_height) line = cinfo.output_height - 1;
      rows[i] = bits + static_cast<size_t>(cinfo.output_height - 1 - line) * stride;
    }
    if (jpeg_read_scanlines(&cinfo, rows, static_cast<JDIMENSION>(want)) == 0) break;
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  if (err.cutShort)
    PictureReportSet(report, PICTURE_CUT_SHORT, "%s", err.firstWarning);
  else if (err.damage)
    PictureReportSet(report, PICTURE_DAMAGED, "%s", err.firstWarning);
  return block;
}

}  // namespace

int JpegScanMemory(const void *bytes, size_t size, int *width, int *height, int *bits) {
  int w, h, b;
  if (!width) width = &w;
  if (!height) height = &h;
  if (!bits) bits = &b;
  if (!bytes) return 0;
  ByteSource src = ByteSourceMemory(bytes, size);
  return ScanMarkers(&src, width, height, bits);
}

int JpegScanHeader(const char *path, int *width, int *height, int *bits) {
  int w, h, b;
  if (!width) width = &w;
  if (!height) height = &h;
  if (!bits) bits = &b;
  if (!path) return 0;
  FILE *file = fopen(path, "rb");
  if (!file) return 0;
  ByteSource src = ByteSourceFile(file);
  int ok = ScanMarkers(&src, width, height, bits);
  fclose(file);
  return ok;
}

size_t JpegDataLength(const void *bytes, size_t size) {
  if (!bytes) return 0;
  ByteSource src = ByteSourceMemory(bytes, size);
  int64_t end = WalkToEnd(&src);
  return end > 0 ? size_t(end) : 0;
}

int64_t JpegFileDataLength(FILE *file) {
  if (!file || fseek(file, 0, SEEK_SET) != 0) return 0;
  ByteSource src = ByteSourceFile(file);
  return WalkToEnd(&src);
}

void *JpegDecodeMemoryReport(const void *bytes, size_t size, int scaleDenom, const DecodeStop *stop,
                             PictureReport *report) {
  PictureReportClear(report);
  if (!bytes || !size) {
    PictureReportSet(report, PICTURE_EMPTY, nullptr);
    return nullptr;
  }
  if (!JpegScanMemory(bytes, size, nullptr, nullptr, nullptr)) {
    if (size >= 2 && static_cast<const BYTE *>(bytes)[0] == 0xFF && static_cast<const BYTE *>(bytes)[1] == 0xD8)
      PictureReportSet(report, PICTURE_CUT_SHORT, "it ends before its first scan");
    else
      PictureReportSet(report, PICTURE_NOT_A_PICTURE, nullptr);
    return nullptr;
  }
  return Decode(nullptr, bytes, size, scaleDenom, stop, report);
}

void *JpegDecodeMemory(const void *bytes, size_t size, int scaleDenom) {
  return JpegDecodeMemoryReport(bytes, size, scaleDenom, nullptr, nullptr);
}

void *JpegDecodeFileReport(const char *path, int scaleDenom, const DecodeStop *stop, PictureReport *report) {
  PictureReportClear(report);
  FILE *file = path ? fopen(path, "rb") : nullptr;
  if (!file) {
    PictureReportSet(report, PICTURE_MISSING, nullptr);
    return nullptr;
  }
  ByteSource src = ByteSourceFile(file);
  int w, h, b;
  int c0 = SourceGetByte(&src), c1 = SourceGetByte(&src);
  void *dib = nullptr;
  if (c0 != 0xFF || c1 != 0xD8) {
    PictureReportSet(report, c0 < 0 ? PICTURE_EMPTY : PICTURE_NOT_A_PICTURE, nullptr);
  } else if (fseek(file, 0, SEEK_SET) != 0 || !ScanMarkers(&src, &w, &h, &b)) {
    PictureReportSet(report, PICTURE_CUT_SHORT, "it ends before its first scan");
  } else if (fseek(file, 0, SEEK_SET) == 0) {
    dib = Decode(file, nullptr, 0, scaleDenom, stop, report);
  }
  fclose(file);
  return dib;
}

void *JpegDecodeFile(const char *path, int scaleDenom) { return JpegDecodeFileReport(path, scaleDenom, nullptr, nullptr); }

int JpegToBmpFile(const char *jpegPath, const char *bmpPath, int scaleDenom) {
  if (!bmpPath) return 0;
  void *dib = JpegDecodeFile(jpegPath, scaleDenom);
  DibView v;
  if (!DibViewOf(dib, &v)) {
    MemFree(&dib);
    return 0;
  }
  FILE *out = fopen(bmpPath, "wb");
  if (!out) {
    MemFree(&dib);
    return 0;
  }
  // The file form: 14-byte file header, the info header with no image size,
  // the grey table for 8-bit output, then the rows, last decoded row first.
  BITMAPINFOHEADER info = *v.header;
  info.biSizeImage = 0;
  size_t pixels = static_cast<size_t>(v.stride) * v.height;
  size_t table = v.headerBytes - sizeof(BITMAPINFOHEADER);
  BITMAPFILEHEADER fh;
  memset(&fh, 0, sizeof fh);
  fh.bfType = 0x4D42;
  fh.bfOffBits = static_cast<DWORD>(sizeof fh + v.headerBytes);
  fh.bfSize = static_cast<DWORD>(fh.bfOffBits + pixels);
  bool ok = fwrite(&fh, 1, sizeof fh, out) == sizeof fh && fwrite(&info, 1, sizeof info, out) == sizeof info &&
            fwrite(v.header + 1, 1, table, out) == table && fwrite(v.bits, 1, pixels, out) == pixels;
  if (fclose(out) != 0) ok = false;
  MemFree(&dib);
  if (!ok) remove(bmpPath);
  return ok ? 1 : 0;
}
