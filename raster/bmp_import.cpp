// The BMP reader of the authoring tool: every header form, run-length and
// bit-field data. The file is read into an ordinary packed DIB (40-byte
// header, table or masks, bottom-up rows) and expanded to 24 bits by the same
// code that expands the player's pictures. Every offset and count taken from
// the file is checked against the data before it is used or allocated.
#include "raster/bmp_import.h"

#include <cstring>

#include "raster/dib_internal.h"
#include "raster/picture_report.h"
#include "shell/base/mem_block.h"

namespace {

const uint32_t BI_ALPHABITFIELDS = 6;

uint16_t U16(const uint8_t *p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t *p) {
  return static_cast<uint32_t>(p[0] | p[1] << 8 | p[2] << 16) | static_cast<uint32_t>(p[3]) << 24;
}

// What the headers say, once checked.
struct BmpLayout {
  int32_t width;
  int32_t rows;
  bool topDown;
  int bits;
  uint32_t compression;      // BI_RGB, BI_RLE8, BI_RLE4 or BI_BITFIELDS
  uint32_t masks[3];         // red, green, blue (16 and 32 bits)
  RGBQUAD table[256];
  uint32_t colours;          // usable table entries
  size_t pixelStart;         // offset of the pixel data in the bytes
};

// Reads and checks the headers, the masks and the colour table.
bool ReadLayout(const uint8_t *b, size_t size, BmpLayout *L, PictureReport *r) {
  memset(L, 0, sizeof *L);
  size_t base = 0;
  uint64_t offBits = 0;
  if (size >= 14 && b[0] == 'B' && b[1] == 'M') {
    offBits = U32(b + 10);
    base = 14;
  }
  if (size < base + 4) {
    PictureReportSet(r, PICTURE_CUT_SHORT, "%u bytes, less than a BMP header", unsigned(size));
    return false;
  }
  const uint8_t *h = b + base;
  uint32_t hs = U32(h);
  bool core = hs == 12;
  bool windows = hs == 40 || hs == 52 || hs == 56 || hs == 108 || hs == 124;
  bool os2 = !core && !windows;  // OS/2 2: 16 to 64 bytes, the first 40 laid out as Windows'
  if (os2 && (hs < 16 || hs > 64)) {
    PictureReportSet(r, PICTURE_UNSUPPORTED, "a BMP with a %u-byte header, which no known form has", unsigned(hs));
    return false;
  }
  if (size - base < hs) {
    PictureReportSet(r, PICTURE_CUT_SHORT, "it ends in its %u-byte header", unsigned(hs));
    return false;
  }

  int planes;
  uint32_t clrUsed = 0;
  int32_t height;
  if (core) {
    L->width = U16(h + 4);
    height = U16(h + 6);
    planes = U16(h + 8);
    L->bits = U16(h + 10);
  } else {
    L->width = static_cast<int32_t>(U32(h + 4));
    height = static_cast<int32_t>(U32(h + 8));
    planes = U16(h + 12);
    L->bits = U16(h + 14);
    if (hs >= 20) L->compression = U32(h + 16);
    if (hs >= 36) clrUsed = U32(h + 32);
  }
  int bits = L->bits;
  if (planes != 1 || L->width <= 0 || height == 0 || height == INT32_MIN ||
      (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)) {
    PictureReportSet(r, PICTURE_DAMAGED, "its header gives %d x %d pixels, %d planes of %d bits", int(L->width),
                     int(height), planes, bits);
    return false;
  }
  L->topDown = height < 0;
  L->rows = height < 0 ? -height : height;

  // Masks: inside the header from 52 bytes on, after a 40-byte header otherwise.
  size_t tableStart = base + hs;
  uint32_t c = L->compression;
  if (c == BI_ALPHABITFIELDS && windows) c = BI_BITFIELDS;  // the alpha mask is not used
  if (c == BI_BITFIELDS && !os2) {
    if (bits != 16 && bits != 32) {
      PictureReportSet(r, PICTURE_DAMAGED, "colour masks at %d bits", bits);
      return false;
    }
    const uint8_t *m = h + 40;
    if (hs == 40) {
      size_t maskBytes = L->compression == BI_ALPHABITFIELDS ? 16 : 12;
      if (size - tableStart < maskBytes) {
        PictureReportSet(r, PICTURE_CUT_SHORT, "it ends in its colour masks");
        return false;
      }
      m = b + tableStart;
      tableStart += maskBytes;
    }
    for (int i = 0; i < 3; ++i) L->masks[i] = U32(m + 4 * i);
  } else if (c == BI_RLE8 || c == BI_RLE4) {
    if (bits != (c == BI_RLE8 ? 8 : 4) || L->topDown) {
      PictureReportSet(r, PICTURE_DAMAGED, "run-length data at %d bits%s", bits, L->topDown ? ", rows top-down" : "");
      return false;
    }
  } else if (c != BI_RGB) {
    // embedded JPEG or PNG, OS/2 Huffman or RLE24
    PictureReportSet(r, PICTURE_UNSUPPORTED, "a BMP stored with compression %u, which this tool cannot read",
                     unsigned(L->compression));
    return false;
  } else if (bits == 16) {
    L->masks[0] = 0x7C00, L->masks[1] = 0x03E0, L->masks[2] = 0x001F;
  } else if (bits == 32) {
    L->masks[0] = 0xFF0000, L->masks[1] = 0x00FF00, L->masks[2] = 0x0000FF;
  }
  L->compression = c;

  // The colour table: 3-byte entries after a core header, 4-byte otherwise.
  uint64_t entries = bits <= 8 ? (clrUsed ? clrUsed : 1u << bits) : clrUsed;
  if (entries > 65536) {
    PictureReportSet(r, PICTURE_DAMAGED, "%llu colours", (unsigned long long)entries);
    return false;
  }
  size_t entrySize = core ? 3 : 4;
  if ((size - tableStart) / entrySize < entries) {
    PictureReportSet(r, PICTURE_CUT_SHORT, "it ends in its colour table");
    return false;
  }
  L->colours = static_cast<uint32_t>(bits <= 8 ? (entries < 256 ? entries : 256) : 0);
  for (uint32_t i = 0; i < L->colours; ++i) {
    const uint8_t *e = b + tableStart + i * entrySize;
    L->table[i].rgbBlue = e[0];
    L->table[i].rgbGreen = e[1];
    L->table[i].rgbRed = e[2];
  }
  uint64_t start = offBits ? offBits : tableStart + entries * entrySize;
  if (start > size) {
    PictureReportSet(r, PICTURE_CUT_SHORT, "its pixels would start at byte %llu; the file has %llu",
                     (unsigned long long)start, (unsigned long long)size);
    return false;
  }
  L->pixelStart = static_cast<size_t>(start);
  return true;
}

// Expands RLE8 or RLE4 data into 8-bit rows (index 0 where nothing is
// written). Pixels outside the picture are dropped, as Windows does; data
// that ends before the end-of-bitmap mark or the last row is damaged.
bool ExpandRunLength(const uint8_t *p, const uint8_t *end, bool four, int32_t width, int32_t rows, BYTE *bits,
                     uint32_t stride) {
  int64_t x = 0, y = 0;  // wide enough for any count of runs past the edge
  auto put = [&](int index) {
    if (x < width && y < rows) bits[static_cast<size_t>(y) * stride + static_cast<size_t>(x)] = static_cast<BYTE>(index);
    ++x;
  };
  while (y < rows) {
    if (end - p < 2) return false;
    int count = p[0], value = p[1];
    p += 2;
    if (count > 0) {  // a run of one value (two alternating nibbles in RLE4)
      for (int i = 0; i < count; ++i) put(four ? (i % 2 ? value & 15 : value >> 4) : value);
    } else if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of bitmap
      return true;
    } else if (value == 2) {  // move right and up
      if (end - p < 2) return false;
      x += p[0];
      y += p[1];
      p += 2;
    } else {  // literal pixels, padded to an even byte count
      size_t bytes = four ? (static_cast<size_t>(value) + 1) / 2 : static_cast<size_t>(value);
      size_t padded = (bytes + 1) & ~size_t(1);
      if (static_cast<size_t>(end - p) < bytes) return false;
      for (int i = 0; i < value; ++i) put(four ? (i % 2 ? p[i / 2] & 15 : p[i / 2] >> 4) : p[i]);
      p += static_cast<size_t>(end - p) < padded ? static_cast<size_t>(end - p) : padded;
    }
  }
  return true;
}

}  // namespace

void *DibImportBmpReport(const void *bytes, size_t size, PictureReport *report) {
  if (!bytes || !size) {
    PictureReportSet(report, PICTURE_EMPTY, nullptr);
    return nullptr;
  }
  const uint8_t *b = static_cast<const uint8_t *>(bytes);
  BmpLayout L;
  if (!ReadLayout(b, size, &L, report)) return nullptr;
  if (!PictureSizeAllowed(L.width, L.rows, report)) return nullptr;

  // Run-length data is expanded to 8 bits per pixel; every depth but 24 bits
  // goes through an intermediate DIB, which the raster code widens.
  bool runLength = L.compression == BI_RLE8 || L.compression == BI_RLE4;
  int bits = runLength ? 8 : L.bits;
  uint32_t stride = DibStride(L.width, L.bits);
  uint32_t workStride = DibStride(L.width, bits);
  const uint8_t *data = b + L.pixelStart;
  size_t available = size - L.pixelStart;
  if (!runLength) {
    // Every row, except that the last one may lack its padding.
    size_t lastRow = (static_cast<size_t>(L.width) * static_cast<size_t>(bits) + 7) / 8;
    if (available < static_cast<size_t>(stride) * static_cast<size_t>(L.rows - 1) + lastRow) {
      PictureReportSet(report, PICTURE_CUT_SHORT, "%llu of its %llu pixel bytes are there",
                       (unsigned long long)available, (unsigned long long)stride * (unsigned long long)L.rows);
      return nullptr;
    }
  }
  auto rowAt = [&](int32_t y) {  // the stored row that is row y counted from the bottom
    return data + static_cast<size_t>(L.topDown ? L.rows - 1 - y : y) * stride;
  };
  auto copyCount = [&](int32_t y) {
    size_t from = static_cast<size_t>(L.topDown ? L.rows - 1 - y : y) * stride;
    return available - from < stride ? available - from : size_t(stride);
  };
  if (bits == 24) {
    // Already the rows a 24-bit Dib holds: straight into the result.
    void *out = DibNew24(L.width, L.rows);
    if (!out) {
      PictureReportSet(report, PICTURE_NO_MEMORY, nullptr);
      return nullptr;
    }
    BYTE *rows = DibBits(out);
    for (int32_t y = 0; y < L.rows; ++y) memcpy(rows + static_cast<size_t>(y) * stride, rowAt(y), copyCount(y));
    return out;
  }
  uint64_t pixels = static_cast<uint64_t>(workStride) * static_cast<uint64_t>(L.rows);
  bool masked = bits == 16 || bits == 32;
  size_t tableBytes = bits <= 8 ? L.colours * 4u : masked ? 12u : 0u;
  size_t headerBytes = sizeof(BITMAPINFOHEADER) + tableBytes;
  BYTE *dib = static_cast<BYTE *>(MemAlloc(headerBytes + static_cast<size_t>(pixels)));
  if (!dib) {
    PictureReportSet(report, PICTURE_NO_MEMORY, nullptr);
    return nullptr;
  }
  BITMAPINFOHEADER *h = reinterpret_cast<BITMAPINFOHEADER *>(dib);
  h->biSize = sizeof(BITMAPINFOHEADER);
  h->biWidth = L.width;
  h->biHeight = L.rows;
  h->biPlanes = 1;
  h->biBitCount = static_cast<WORD>(bits);
  h->biCompression = masked ? BI_BITFIELDS : BI_RGB;
  h->biSizeImage = static_cast<DWORD>(pixels);
  h->biClrUsed = bits <= 8 ? L.colours : 0;
  if (bits <= 8) memcpy(dib + sizeof(BITMAPINFOHEADER), L.table, L.colours * 4u);
  if (masked) memcpy(dib + sizeof(BITMAPINFOHEADER), L.masks, 12);
  BYTE *rows = dib + headerBytes;

  bool ok = true;
  if (runLength) {
    ok = ExpandRunLength(data, b + size, L.compression == BI_RLE4, L.width, L.rows, rows, workStride);
    if (!ok) PictureReportSet(report, PICTURE_CUT_SHORT, "its run-length data ends before the picture does");
  } else {
    for (int32_t y = 0; y < L.rows; ++y) memcpy(rows + static_cast<size_t>(y) * stride, rowAt(y), copyCount(y));
  }
  void *out = ok ? DibToRgb24(dib) : nullptr;
  if (ok && !out) PictureReportSet(report, PICTURE_NO_MEMORY, nullptr);
  void *block = dib;
  MemFree(&block);
  return out;
}

void *DibImportBmp(const void *bytes, size_t size) { return DibImportBmpReport(bytes, size, nullptr); }
