// Hand-made pictures for the raster tests: BMP file bytes assembled field by
// field, and pixel access written independently of the code under test.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace testpic {

inline void Put16(std::vector<uint8_t> &b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
inline void Put32(std::vector<uint8_t> &b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

inline uint32_t Stride(int width, int bits) { return static_cast<uint32_t>((bits * width + 31) / 32 * 4); }

struct InfoFields {
  uint32_t size = 40;
  int32_t width = 1;
  int32_t height = 1;
  uint16_t planes = 1;
  uint16_t bits = 24;
  uint32_t compression = 0;
  uint32_t sizeImage = 0;
  int32_t xPels = 0, yPels = 0;
  uint32_t clrUsed = 0, clrImportant = 0;
};

inline void PutInfo(std::vector<uint8_t> &b, const InfoFields &f) {
  Put32(b, f.size);
  Put32(b, static_cast<uint32_t>(f.width));
  Put32(b, static_cast<uint32_t>(f.height));
  Put16(b, f.planes);
  Put16(b, f.bits);
  Put32(b, f.compression);
  Put32(b, f.sizeImage);
  Put32(b, static_cast<uint32_t>(f.xPels));
  Put32(b, static_cast<uint32_t>(f.yPels));
  Put32(b, f.clrUsed);
  Put32(b, f.clrImportant);
}

// A packed DIB: info header, table (4 bytes per entry, given), extra bytes, rows.
inline std::vector<uint8_t> PackedDib(const InfoFields &f, const std::vector<uint8_t> &table,
                                      const std::vector<uint8_t> &rows) {
  std::vector<uint8_t> b;
  PutInfo(b, f);
  b.insert(b.end(), table.begin(), table.end());
  b.insert(b.end(), rows.begin(), rows.end());
  return b;
}

// A BMP file around a packed DIB; offBits counted from the file start.
inline std::vector<uint8_t> BmpFile(const std::vector<uint8_t> &packed, uint32_t offBits) {
  std::vector<uint8_t> b = {'B', 'M'};
  Put32(b, static_cast<uint32_t>(packed.size() + 14));
  Put32(b, 0);
  Put32(b, offBits);
  b.insert(b.end(), packed.begin(), packed.end());
  return b;
}

// Pixel value at top-down (x, y) of bottom-up rows, any depth (palette index or packed bytes).
inline uint32_t Pixel(const uint8_t *bits, int width, int height, int depth, int x, int y) {
  const uint8_t *row = bits + static_cast<size_t>(height - 1 - y) * Stride(width, depth);
  if (depth == 1) return (row[x / 8] >> (7 - x % 8)) & 1;
  if (depth == 4) return x % 2 ? row[x / 2] & 15 : row[x / 2] >> 4;
  uint32_t v = 0;
  for (int i = 0; i < depth / 8; ++i) v |= static_cast<uint32_t>(row[x * (depth / 8) + i]) << (8 * i);
  return v;
}

inline void SetPixel(uint8_t *bits, int width, int height, int depth, int x, int y, uint32_t v) {
  uint8_t *row = bits + static_cast<size_t>(height - 1 - y) * Stride(width, depth);
  if (depth == 1) {
    uint8_t m = static_cast<uint8_t>(0x80 >> (x % 8));
    row[x / 8] = static_cast<uint8_t>(v ? row[x / 8] | m : row[x / 8] & ~m);
  } else if (depth == 4) {
    row[x / 2] = static_cast<uint8_t>(x % 2 ? (row[x / 2] & 0xF0) | (v & 15) : (row[x / 2] & 0x0F) | (v & 15) << 4);
  } else {
    for (int i = 0; i < depth / 8; ++i) row[x * (depth / 8) + i] = static_cast<uint8_t>(v >> (8 * i));
  }
}

// 24-bit colour at top-down (x, y) as (b, g, r) bytes.
inline const uint8_t *Bgr(const uint8_t *bits, int width, int height, int x, int y) {
  return bits + static_cast<size_t>(height - 1 - y) * Stride(width, 24) + x * 3;
}

}  // namespace testpic
