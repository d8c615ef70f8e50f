// The certificate table entry of a PE image (data directory 4), whose address
// is a file offset rather than a relative virtual address.
#include "shell/base/signed_size.h"

namespace {
uint32_t U32(const unsigned char *at) {
  return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}
uint16_t U16(const unsigned char *at) { return uint16_t(at[0] | at[1] << 8); }
}  // namespace

uint64_t UnsignedSize(const unsigned char *head, size_t headSize, uint64_t fileSize) {
  if (headSize < 64 || head[0] != 'M' || head[1] != 'Z') return fileSize;
  const size_t pe = U32(head + 60);
  if (pe > headSize || headSize - pe < 24 || head[pe] != 'P' || head[pe + 1] != 'E' || head[pe + 2] || head[pe + 3])
    return fileSize;
  const size_t optional = pe + 24, optionalSize = U16(head + pe + 20);
  if (optionalSize < 2 || optionalSize > headSize - optional) return fileSize;
  const uint16_t magic = U16(head + optional);
  const size_t directories = magic == 0x10B ? 96 : magic == 0x20B ? 112 : 0;
  // The count of data directories stands just before them; the fifth is the certificate table.
  if (!directories || optionalSize < directories + 5 * 8 || U32(head + optional + directories - 4) < 5)
    return fileSize;
  const unsigned char *entry = head + optional + directories + 4 * 8;
  const uint64_t at = U32(entry), size = U32(entry + 4);
  // The signature is the file's last part; anything else is not ours to cut.
  if (!at || !size || at > fileSize || at + size != fileSize) return fileSize;
  return at;
}
