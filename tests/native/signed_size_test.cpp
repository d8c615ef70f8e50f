// Where a signature appended by signing begins: read from the certificate
// table entry of a PE32 header built here byte by byte.
#include <gtest/gtest.h>

#include <vector>

#include "shell/base/signed_size.h"

namespace {
void Put32(std::vector<unsigned char> &b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

// A PE32 header: e_lfanew 64, an optional header of 224 bytes with 16 data
// directories, the certificate table (the fifth) at offset and size.
std::vector<unsigned char> Headers(uint32_t offset, uint32_t size) {
  std::vector<unsigned char> b(512, 0);
  b[0] = 'M', b[1] = 'Z';
  Put32(b, 60, 64);
  b[64] = 'P', b[65] = 'E';
  b[64 + 20] = 224;
  const size_t optional = 64 + 24;
  b[optional] = 0x0B, b[optional + 1] = 0x01;
  Put32(b, optional + 92, 16);
  Put32(b, optional + 96 + 4 * 8, offset);
  Put32(b, optional + 96 + 4 * 8 + 4, size);
  return b;
}
}  // namespace

TEST(SignedSize, EndsWhereTheSignatureRunsToTheEnd) {
  std::vector<unsigned char> head = Headers(100000, 1480);
  EXPECT_EQ(UnsignedSize(head.data(), head.size(), 101480), 100000u);
}

TEST(SignedSize, AnUnsignedFileKeepsItsSize) {
  std::vector<unsigned char> head = Headers(0, 0);
  EXPECT_EQ(UnsignedSize(head.data(), head.size(), 5000), 5000u);
}

TEST(SignedSize, ATableThatIsNotTheFilesEndIsNotCut) {
  std::vector<unsigned char> head = Headers(4000, 100);
  EXPECT_EQ(UnsignedSize(head.data(), head.size(), 5000), 5000u);  // bytes follow it
  EXPECT_EQ(UnsignedSize(head.data(), head.size(), 4050), 4050u);  // it runs past the end
}

TEST(SignedSize, BytesThatAreNoProgramKeepTheirSize) {
  std::vector<unsigned char> head = Headers(4000, 1000);
  head[0] = 'X';
  EXPECT_EQ(UnsignedSize(head.data(), head.size(), 5000), 5000u);
  std::vector<unsigned char> cut = Headers(4000, 1000);
  EXPECT_EQ(UnsignedSize(cut.data(), 100, 5000), 5000u);  // the optional header is cut off
}
