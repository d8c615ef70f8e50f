// The image object's layout queries, the BMP reader and writer, solid images
// and the exact expansion of any depth to 24 bits. A BMP header is untrusted:
// its sizes, depth, colour count and compression are checked before anything
// is allocated, so a loaded Dib always holds stride * height pixel bytes.
// Depth reduction and the GDI services live elsewhere.
#include <cstring>

#include "raster/dib_internal.h"
#include "raster/picture_report.h"
#include "shell/base/mem_block.h"
#include "shell/base/path_ops.h"

namespace {

const BITMAPINFOHEADER *HeaderOf(const void *dib) { return static_cast<const BITMAPINFOHEADER *>(dib); }

bool ValidDepth(int bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32; }

// The most colour-table entries an image of this depth may name: every index
// for a palette depth, and the 256 of an optimising table above that. A larger
// count would also overflow the 16-bit table size.
uint32_t MostColours(int bits) { return bits <= 8 ? 1u << bits : 256u; }

}  // namespace

uint32_t DibStride(int32_t width, int bitCount) {
  if (width <= 0 || bitCount <= 0) return 0;
  uint64_t stride = (static_cast<uint64_t>(bitCount) * static_cast<uint64_t>(width) + 31) / 32 * 4;
  return stride > DIB_MAX_PIXEL_BYTES ? 0 : static_cast<uint32_t>(stride);
}

WORD DibNumColors(const void *header) {
  if (!header) return 0;
  // The first field tells the header form; a core header is only 12 bytes long.
  DWORD size;
  memcpy(&size, header, sizeof size);
  int bits;
  if (size == sizeof(BITMAPCOREHEADER)) {
    bits = static_cast<const BITMAPCOREHEADER *>(header)->bcBitCount;
  } else {
    const BITMAPINFOHEADER *h = HeaderOf(header);
    if (h->biClrUsed) return static_cast<WORD>(h->biClrUsed);
    bits = h->biBitCount;
  }
  return bits <= 8 ? static_cast<WORD>(1u << bits) : 0;
}

WORD DibPaletteSize(const void *header) {
  if (!header) return 0;
  DWORD size;
  memcpy(&size, header, sizeof size);
  WORD n = DibNumColors(header);
  if (size == sizeof(BITMAPCOREHEADER)) return static_cast<WORD>(n * 3);
  if (HeaderOf(header)->biCompression == BI_BITFIELDS) return static_cast<WORD>(n * 4 + 12);
  return static_cast<WORD>(n * 4);
}

BYTE *DibBits(const void *dib) {
  if (!dib) return nullptr;
  return const_cast<BYTE *>(static_cast<const BYTE *>(dib)) + HeaderOf(dib)->biSize + DibPaletteSize(dib);
}

int DibViewOf(const void *dib, DibView *view) {
  size_t blockSize = MemSize(dib);
  if (!dib || blockSize < sizeof(BITMAPINFOHEADER)) return 0;
  const BITMAPINFOHEADER *h = HeaderOf(dib);
  if (h->biSize != sizeof(BITMAPINFOHEADER) || h->biWidth <= 0 || h->biHeight <= 0) return 0;
  if (!ValidDepth(h->biBitCount) || h->biClrUsed > MostColours(h->biBitCount)) return 0;
  if (h->biCompression != BI_RGB &&
      !(h->biCompression == BI_BITFIELDS && (h->biBitCount == 16 || h->biBitCount == 32)))
    return 0;
  uint32_t stride = DibStride(h->biWidth, h->biBitCount);
  if (!stride) return 0;
  uint64_t pixels = static_cast<uint64_t>(stride) * static_cast<uint64_t>(h->biHeight);
  size_t headerBytes = sizeof(BITMAPINFOHEADER) + DibPaletteSize(h);
  if (pixels > DIB_MAX_PIXEL_BYTES || headerBytes + pixels > blockSize) return 0;
  view->header = h;
  view->bits = const_cast<BYTE *>(static_cast<const BYTE *>(dib)) + headerBytes;
  view->width = h->biWidth;
  view->height = h->biHeight;
  view->bitCount = h->biBitCount;
  view->stride = stride;
  view->headerBytes = headerBytes;
  return 1;
}

int DibIsWhole(const void *dib) {
  DibView view;
  return DibViewOf(dib, &view);
}

void *DibNew(int32_t width, int32_t height, int bitCount) {
  if (bitCount != 24 && bitCount != 32) return nullptr;
  uint32_t stride = DibStride(width, bitCount);
  if (!stride || height <= 0) return nullptr;
  uint64_t pixels = static_cast<uint64_t>(stride) * static_cast<uint64_t>(height);
  if (pixels > DIB_MAX_PIXEL_BYTES) return nullptr;
  void *dib = MemAlloc(sizeof(BITMAPINFOHEADER) + static_cast<size_t>(pixels));
  if (!dib) return nullptr;
  BITMAPINFOHEADER *h = static_cast<BITMAPINFOHEADER *>(dib);
  h->biSize = sizeof(BITMAPINFOHEADER);
  h->biWidth = width;
  h->biHeight = height;
  h->biPlanes = 1;
  h->biBitCount = static_cast<WORD>(bitCount);
  h->biCompression = BI_RGB;
  h->biSizeImage = static_cast<DWORD>(pixels);
  return dib;
}

void *DibNew24(int32_t width, int32_t height) { return DibNew(width, height, 24); }

// ---- queries --------------------------------------------------------------

int DibGetHeader(const void *dib, BITMAPINFOHEADER *header) {
  if (!dib || !header || MemSize(dib) < sizeof(BITMAPCOREHEADER)) return 0;
  const BITMAPINFOHEADER *h = HeaderOf(dib);
  if (h->biSize == sizeof(BITMAPCOREHEADER)) {
    memcpy(header, dib, sizeof(BITMAPCOREHEADER));
    return 1;
  }
  if (MemSize(dib) < sizeof(BITMAPINFOHEADER)) return 0;
  *header = *h;
  if (!header->biSizeImage && header->biHeight > 0)
    header->biSizeImage = DibStride(header->biWidth, header->biBitCount) * static_cast<DWORD>(header->biHeight);
  if (!header->biClrUsed) header->biClrUsed = DibNumColors(h);
  return 1;
}

int DibGetRect(const void *dib, RECT *rect) {
  if (!dib || !rect || MemSize(dib) < sizeof(BITMAPINFOHEADER)) return 0;
  rect->left = 0;
  rect->top = 0;
  rect->right = HeaderOf(dib)->biWidth;
  rect->bottom = HeaderOf(dib)->biHeight;
  return 1;
}

int DibGetSize(const void *dib, SIZE *size) {
  if (!size) return 0;
  size->cx = 0;
  size->cy = 0;
  if (!dib || MemSize(dib) < sizeof(BITMAPINFOHEADER)) return 0;
  size->cx = HeaderOf(dib)->biWidth;
  size->cy = HeaderOf(dib)->biHeight;
  return size->cx > 0 && size->cy > 0;
}

int DibGetBitCount(const void *dib) {
  if (!dib || MemSize(dib) < sizeof(BITMAPINFOHEADER)) return 0;
  return HeaderOf(dib)->biBitCount;
}

// ---- reading --------------------------------------------------------------

void *DibReadHeaderFrom(ByteSource *src, PictureReport *report) {
  int64_t start = SourceTell(src);
  if (start < 0) {
    PictureReportSet(report, PICTURE_MISSING, nullptr);
    return nullptr;
  }
  BYTE fileHeader[14];
  size_t got = SourceRead(src, fileHeader, 2);
  got += SourceRead(src, fileHeader + 2, 12);
  uint32_t offBits = 0;
  // A file that starts "BM" is a BMP whatever follows; anything else may be
  // a bare packed DIB, or no picture at all.
  bool named = got >= 2 && fileHeader[0] == 'B' && fileHeader[1] == 'M';
  int broken = named ? PICTURE_CUT_SHORT : PICTURE_NOT_A_PICTURE;
  if (got == 0) {
    PictureReportSet(report, PICTURE_EMPTY, nullptr);
    return nullptr;
  }
  if (got == 14 && named) {
    offBits = static_cast<uint32_t>(fileHeader[10] | fileHeader[11] << 8 | fileHeader[12] << 16) |
              static_cast<uint32_t>(fileHeader[13]) << 24;
  } else if (named) {
    PictureReportSet(report, PICTURE_CUT_SHORT, "%u bytes, less than a BMP file header", unsigned(got));
    return nullptr;
  } else if (!SourceSeek(src, start)) {
    PictureReportSet(report, PICTURE_MISSING, nullptr);
    return nullptr;
  }

  // The header size decides how much more to read: 12 (OS/2 core) or 40.
  BITMAPINFOHEADER h;
  memset(&h, 0, sizeof h);
  if (SourceRead(src, &h.biSize, 4) != 4) {
    PictureReportSet(report, broken, named ? "it ends in its header" : nullptr);
    return nullptr;
  }
  bool core = h.biSize == sizeof(BITMAPCOREHEADER);
  if (core) {
    BITMAPCOREHEADER c;
    c.bcSize = h.biSize;
    if (SourceRead(src, &c.bcWidth, 8) != 8) {
      PictureReportSet(report, broken, named ? "it ends in its header" : nullptr);
      return nullptr;
    }
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = c.bcWidth;
    h.biHeight = c.bcHeight;
    h.biPlanes = c.bcPlanes;
    h.biBitCount = c.bcBitCount;
    h.biClrUsed = h.biClrImportant = c.bcBitCount <= 8 ? 1u << c.bcBitCount : 0u;
  } else if (h.biSize == sizeof(BITMAPINFOHEADER)) {
    if (SourceRead(src, reinterpret_cast<BYTE *>(&h) + 4, 36) != 36) {
      PictureReportSet(report, broken, named ? "it ends in its header" : nullptr);
      return nullptr;
    }
  } else {
    // 64-, 108- and 124-byte headers are not read
    if (named)
      PictureReportSet(report, PICTURE_UNSUPPORTED, "a BMP with a %u-byte header, which the player does not read",
                       unsigned(h.biSize));
    else
      PictureReportSet(report, PICTURE_NOT_A_PICTURE, nullptr);
    return nullptr;
  }

  // Everything below is checked before the block is allocated.
  int bits = h.biBitCount;
  int wrong = named ? PICTURE_DAMAGED : PICTURE_NOT_A_PICTURE;
  if (h.biPlanes != 1 || !ValidDepth(bits) || h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN) {
    PictureReportSet(report, wrong, named ? "its header gives %d x %d pixels, %d planes of %d bits" : nullptr,
                     int(h.biWidth), int(h.biHeight), int(h.biPlanes), bits);
    return nullptr;
  }
  int32_t rows = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  bool knownCompression;
  switch (h.biCompression) {
    case BI_RGB: knownCompression = true; break;
    case BI_BITFIELDS: knownCompression = bits == 16 || bits == 32; break;
    case BI_RLE8: knownCompression = bits == 8 && h.biHeight > 0; break;
    case BI_RLE4: knownCompression = bits == 4 && h.biHeight > 0; break;
    default: knownCompression = false; break;
  }
  if (!knownCompression) {
    PictureReportSet(report, named ? PICTURE_UNSUPPORTED : PICTURE_NOT_A_PICTURE,
                     named ? "a BMP stored with compression %u at %d bits, which the player does not read" : nullptr,
                     unsigned(h.biCompression), bits);
    return nullptr;
  }
  if (h.biClrUsed > MostColours(bits)) {
    PictureReportSet(report, wrong, named ? "%u colours for %d bits" : nullptr, unsigned(h.biClrUsed), bits);
    return nullptr;
  }
  uint32_t stride = DibStride(h.biWidth, bits);
  uint64_t pixels = static_cast<uint64_t>(stride) * static_cast<uint64_t>(rows);
  if (!stride || pixels > DIB_MAX_PIXEL_BYTES) {
    if (report && report->problem == PICTURE_FINE) report->width = h.biWidth, report->height = rows;
    PictureReportSet(report, PICTURE_TOO_LARGE, nullptr);
    return nullptr;
  }
  // Uncompressed rows always take stride * height bytes, whatever the file
  // claims; a compressed size is kept but bounded the same way.
  if (h.biCompression == BI_RGB || h.biCompression == BI_BITFIELDS || !h.biSizeImage)
    h.biSizeImage = static_cast<DWORD>(pixels);
  else if (h.biSizeImage > DIB_MAX_PIXEL_BYTES) {
    PictureReportSet(report, wrong, named ? "its compressed pixels claim %u bytes" : nullptr, unsigned(h.biSizeImage));
    return nullptr;
  }
  if (!h.biClrUsed) h.biClrUsed = DibNumColors(&h);
  WORD n = DibNumColors(&h);

  size_t room = sizeof(BITMAPINFOHEADER) + n * 4u + ((bits == 16 || bits == 32) ? 12u : 0u);
  BYTE *block = static_cast<BYTE *>(MemAlloc(room));
  if (!block) {
    PictureReportSet(report, PICTURE_NO_MEMORY, nullptr);
    return nullptr;
  }
  memcpy(block, &h, sizeof h);
  BYTE *table = block + sizeof(BITMAPINFOHEADER);
  // In the file the colour masks of a bit-field image come right after the
  // header, before any colour table; in the block they follow the table.
  if (h.biCompression == BI_BITFIELDS && SourceRead(src, table + n * 4u, 12) != 12) {
    MemFree(&block);
    PictureReportSet(report, broken, named ? "it ends in its colour masks" : nullptr);
    return nullptr;
  }
  if (n > 0) {
    if (core) {
      size_t want = n * 3u;
      if (SourceRead(src, table, want) != want) {
        MemFree(&block);
        PictureReportSet(report, broken, named ? "it ends in its colour table" : nullptr);
        return nullptr;
      }
      // Widen the triples in place, last first, so nothing is overwritten early.
      for (int i = n - 1; i >= 0; --i) {
        BYTE b = table[i * 3], g = table[i * 3 + 1], r = table[i * 3 + 2];
        table[i * 4] = b;
        table[i * 4 + 1] = g;
        table[i * 4 + 2] = r;
        table[i * 4 + 3] = 0;
      }
    } else if (SourceRead(src, table, n * 4u) != n * 4u) {
      MemFree(&block);
      PictureReportSet(report, broken, named ? "it ends in its colour table" : nullptr);
      return nullptr;
    }
  }
  if (offBits && !SourceSeek(src, start + offBits)) {
    MemFree(&block);
    PictureReportSet(report, PICTURE_CUT_SHORT, "its pixels would start at byte %u", unsigned(offBits));
    return nullptr;
  }
  return block;
}

void *DibReadHeader(FILE *file) {
  if (!file) return nullptr;
  ByteSource src = ByteSourceFile(file);
  return DibReadHeaderFrom(&src);
}

void *DibLoadFrom(ByteSource *src, PictureReport *report) {
  void *dib = DibReadHeaderFrom(src, report);
  if (!dib) return nullptr;
  const BITMAPINFOHEADER *h = HeaderOf(dib);
  if (h->biCompression == BI_RLE8 || h->biCompression == BI_RLE4) {
    MemFree(&dib);
    PictureReportSet(report, PICTURE_UNSUPPORTED, "a run-length BMP, which the player does not read");
    return nullptr;
  }
  int32_t rows = h->biHeight < 0 ? -h->biHeight : h->biHeight;
  if (!PictureSizeAllowed(h->biWidth, rows, report)) {
    MemFree(&dib);
    return nullptr;
  }
  size_t headerBytes = sizeof(BITMAPINFOHEADER) + DibPaletteSize(h);
  size_t pixels = h->biSizeImage;
  void *grown = MemRealloc(dib, headerBytes + pixels);
  if (!grown) {
    MemFree(&dib);
    PictureReportSet(report, PICTURE_NO_MEMORY, nullptr);
    return nullptr;
  }
  dib = grown;
  BITMAPINFOHEADER *g = static_cast<BITMAPINFOHEADER *>(dib);
  BYTE *bits = static_cast<BYTE *>(dib) + headerBytes;
  // A short file leaves the rest zero: the picture is loaded, and reported
  // cut short unless only the last row's padding is missing.
  size_t got = SourceRead(src, bits, pixels);
  uint32_t stride = DibStride(g->biWidth, g->biBitCount);
  size_t lastRow = (static_cast<size_t>(g->biWidth) * g->biBitCount + 7) / 8;
  if (got < static_cast<size_t>(stride) * static_cast<size_t>(rows - 1) + lastRow)
    PictureReportSet(report, PICTURE_CUT_SHORT, "%llu of its %llu pixel bytes are there", (unsigned long long)got,
                     (unsigned long long)pixels);
  if (g->biHeight < 0) {
    // Top-down rows are turned into the bottom-up order every Dib uses.
    BYTE *tmp = static_cast<BYTE *>(MemAlloc(stride));
    if (!tmp) {
      MemFree(&dib);
      PictureReportSet(report, PICTURE_NO_MEMORY, nullptr);
      return nullptr;
    }
    for (int32_t top = 0, bottom = rows - 1; top < bottom; ++top, --bottom) {
      memcpy(tmp, bits + static_cast<size_t>(top) * stride, stride);
      memcpy(bits + static_cast<size_t>(top) * stride, bits + static_cast<size_t>(bottom) * stride, stride);
      memcpy(bits + static_cast<size_t>(bottom) * stride, tmp, stride);
    }
    MemFree(&tmp);
    g->biHeight = rows;
  }
  if (g->biBitCount == 16 || g->biBitCount == 32) {
    void *wide = DibWideTo24(dib);
    MemFree(&dib);
    if (!wide) PictureReportSet(report, PICTURE_NO_MEMORY, nullptr);
    return wide;
  }
  return dib;
}

void *DibLoadFile(const char *path) {
  if (!path) return nullptr;
  FILE *file = fopen(path, "rb");
  if (!file) return nullptr;
  ByteSource src = ByteSourceFile(file);
  void *dib = DibLoadFrom(&src);
  fclose(file);
  return dib;
}

void *DibLoadMemory(const void *bytes, size_t size) {
  if (!bytes) return nullptr;
  ByteSource src = ByteSourceMemory(bytes, size);
  return DibLoadFrom(&src);
}

int DibProbeFile(const char *path) {
  if (!path) return 0;
  FILE *file = fopen(path, "rb");
  if (!file) return 0;
  void *header = DibReadHeader(file);
  fclose(file);
  int ok = header != nullptr;
  MemFree(&header);
  return ok;
}

int DibFileSize(const char *path, SIZE *size) {
  if (!path || !size) return 0;
  FILE *file = fopen(path, "rb");
  if (!file) return 0;
  void *header = DibReadHeader(file);
  fclose(file);
  if (!header) return 0;
  size->cx = HeaderOf(header)->biWidth;
  size->cy = HeaderOf(header)->biHeight < 0 ? -HeaderOf(header)->biHeight : HeaderOf(header)->biHeight;
  MemFree(&header);
  return 1;
}

// ---- writing --------------------------------------------------------------

int DibSaveFile(const char *path, const void *dib) {
  size_t blockSize = MemSize(dib);
  if (!path || !dib || blockSize < sizeof(BITMAPINFOHEADER) || blockSize > 0x7FFFFFF0u) return 0;
  // Side name: '@' before the extension's dot ("a.bmp" -> "a@.bmp"), or at the end.
  char side[PATH_SIZE];
  const char *ext = ExtensionPart(path);
  size_t cut = *ext ? static_cast<size_t>(ext - path) - 1 : strlen(path);
  size_t length = strlen(path);
  if (length + 2 > PATH_SIZE) return 0;
  memcpy(side, path, cut);
  side[cut] = '@';
  memcpy(side + cut + 1, path + cut, length - cut + 1);

  FILE *file = fopen(side, "wb");
  if (!file) return 0;
  const BITMAPINFOHEADER *h = HeaderOf(dib);
  BITMAPFILEHEADER fh;
  memset(&fh, 0, sizeof fh);
  fh.bfType = 0x4D42;
  fh.bfSize = static_cast<DWORD>(blockSize + sizeof fh);
  fh.bfOffBits = static_cast<DWORD>(sizeof fh + h->biSize + DibPaletteSize(h));
  const BYTE *raw = reinterpret_cast<const BYTE *>(&fh);
  bool ok = fwrite(raw, 1, 2, file) == 2 && fwrite(raw + 2, 1, 12, file) == 12 &&
            fwrite(dib, 1, blockSize, file) == blockSize;
  if (fclose(file) != 0) ok = false;
  if (!ok) {
    remove(side);
    return 0;
  }
#ifdef _WIN32
  // Replaces the target in one step, so a failed move leaves it as it was.
  if (!MoveFileExA(side, path, MOVEFILE_REPLACE_EXISTING)) {
    DeleteFileA(side);
    return 0;
  }
#else
  if (rename(side, path) != 0) {
    remove(side);
    return 0;
  }
#endif
  return 1;
}

int DibSaveFileAs(const char *path, const void *dib, int bitCount, DWORD compression) {
  if (!dib || MemSize(dib) < sizeof(BITMAPINFOHEADER)) return 0;
  const BITMAPINFOHEADER *h = HeaderOf(dib);
  if ((bitCount == 0 && compression == 0) || (h->biBitCount == bitCount && h->biCompression == compression))
    return DibSaveFile(path, dib);
  void *converted = DibConvert(dib, bitCount);
  if (!converted) return 0;
  int ok = DibSaveFile(path, converted);
  MemFree(&converted);
  return ok;
}

// ---- creation and expansion -----------------------------------------------

void *DibCreateSolid(int32_t width, int32_t height, int bitCount, COLORREF colour) {
  void *dib = DibNew24(width, height);
  if (!dib) return nullptr;
  DibView v;
  DibViewOf(dib, &v);
  BYTE bgr[3] = {GetBValue(colour), GetGValue(colour), GetRValue(colour)};
  for (int32_t x = 0; x < v.width; ++x) memcpy(v.bits + x * 3, bgr, 3);
  for (int32_t y = 1; y < v.height; ++y) memcpy(v.bits + static_cast<size_t>(y) * v.stride, v.bits, v.stride);
  if (bitCount != 24) {
    void *converted = DibConvert(dib, bitCount);
    if (converted) {
      MemFree(&dib);
      return converted;
    }
  }
  return dib;
}

namespace {

struct ChannelMask {
  int shift;
  int width;
  uint32_t valueMask;  // the channel's bits once shifted down (a mask may be 32 bits wide)
  BYTE expand[256];
};

void SetupChannel(ChannelMask *c, uint32_t mask) {
  c->shift = 0;
  c->width = 0;
  if (mask) {
    while (!(mask & 1u)) {
      mask >>= 1;
      ++c->shift;
    }
    while (mask & 1u) {
      mask >>= 1;
      ++c->width;
    }
  }
  c->valueMask = static_cast<uint32_t>((uint64_t{1} << c->width) - 1);
  // Values of fewer than 8 bits are widened by repeating their bits
  // (5 bits abcde -> abcdeabc), so full scale maps to 255.
  int w = c->width > 8 ? 8 : c->width;
  for (int v = 0; v < 256; ++v) {
    if (w == 0 || v >= (1 << w)) {
      c->expand[v] = 0;
      continue;
    }
    uint32_t r = 0;
    int filled = 0;
    while (filled < 8) {
      r = (r << w) | static_cast<uint32_t>(v);
      filled += w;
    }
    c->expand[v] = static_cast<BYTE>(r >> (filled - 8));
  }
}

inline BYTE ChannelValue(const ChannelMask *c, uint32_t pixel) {
  uint32_t v = pixel >> c->shift;
  if (c->width > 8) return static_cast<BYTE>((v & c->valueMask) >> (c->width - 8));
  return c->expand[v & c->valueMask];
}

}  // namespace

void *DibWideTo24(const void *dib) {
  DibView v;
  if (!DibViewOf(dib, &v) || (v.bitCount != 16 && v.bitCount != 32)) return nullptr;
  uint32_t masks[3];
  if (v.header->biCompression == BI_BITFIELDS) {
    memcpy(masks, v.bits - 12, 12);
  } else if (v.bitCount == 16) {
    masks[0] = 0x7C00;
    masks[1] = 0x03E0;
    masks[2] = 0x001F;
  } else {
    masks[0] = 0xFF0000;
    masks[1] = 0x00FF00;
    masks[2] = 0x0000FF;
  }
  ChannelMask ch[3];
  for (int i = 0; i < 3; ++i) SetupChannel(&ch[i], masks[i]);
  void *out = DibNew24(v.width, v.height);
  if (!out) return nullptr;
  DibView o;
  DibViewOf(out, &o);
  static_cast<BITMAPINFOHEADER *>(out)->biSizeImage = 0;
  for (int32_t y = 0; y < v.height; ++y) {
    const BYTE *s = v.bits + static_cast<size_t>(y) * v.stride;
    BYTE *d = o.bits + static_cast<size_t>(y) * o.stride;
    for (int32_t x = 0; x < v.width; ++x, d += 3) {
      uint32_t p = v.bitCount == 16 ? static_cast<uint32_t>(s[x * 2] | s[x * 2 + 1] << 8)
                                    : static_cast<uint32_t>(s[x * 4] | s[x * 4 + 1] << 8 | s[x * 4 + 2] << 16) |
                                          static_cast<uint32_t>(s[x * 4 + 3]) << 24;
      d[0] = ChannelValue(&ch[2], p);
      d[1] = ChannelValue(&ch[1], p);
      d[2] = ChannelValue(&ch[0], p);
    }
  }
  return out;
}

void *DibToRgb24(const void *dib) {
  DibView v;
  if (!DibViewOf(dib, &v)) return nullptr;
  if (v.bitCount == 24) return MemDup(dib);
  if (v.bitCount == 16 || v.bitCount == 32) return DibWideTo24(dib);
  void *out = DibNew24(v.width, v.height);
  if (!out) return nullptr;
  DibView o;
  DibViewOf(out, &o);
  static_cast<BITMAPINFOHEADER *>(out)->biSizeImage = 0;
  // Indexes beyond the colour table read as black.
  RGBQUAD table[256];
  memset(table, 0, sizeof table);
  WORD n = DibNumColors(v.header);
  memcpy(table, static_cast<const BYTE *>(dib) + sizeof(BITMAPINFOHEADER), (n > 256 ? 256 : n) * 4u);
  int bits = v.bitCount;
  int perByte = 8 / bits;
  BYTE mask = static_cast<BYTE>((1 << bits) - 1);
  for (int32_t y = 0; y < v.height; ++y) {
    const BYTE *s = v.bits + static_cast<size_t>(y) * v.stride;
    BYTE *d = o.bits + static_cast<size_t>(y) * o.stride;
    for (int32_t x = 0; x < v.width; ++x, d += 3) {
      int shift = (perByte - 1 - x % perByte) * bits;
      BYTE index = static_cast<BYTE>((s[x / perByte] >> shift) & mask);
      d[0] = table[index].rgbBlue;
      d[1] = table[index].rgbGreen;
      d[2] = table[index].rgbRed;
    }
  }
  return out;
}
