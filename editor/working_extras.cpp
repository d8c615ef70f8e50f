// The working file's trailing block of link, carried values and password;
// see working_extras.h.
#include "editor/working_extras.h"

#include <cstring>

namespace {
constexpr size_t kMagic = 13;

void PutInt(std::string *out, int32_t value) {
  unsigned char b[4];
  PutInt32(b, value);
  out->append(reinterpret_cast<char *>(b), 4);
}

void PutText(std::string *out, const char *field, size_t fieldSize) {
  size_t n = strnlen(field, fieldSize - 1);
  PutInt(out, int32_t(n));
  out->append(field, n);
}

// A bounded reader over the block.
struct Cursor {
  const unsigned char *p;
  size_t left;
  bool Take(size_t n, const unsigned char **at) {
    if (n > left) return false;
    *at = p;
    p += n;
    left -= n;
    return true;
  }
  bool Int(int32_t *v) {
    const unsigned char *at;
    if (!Take(4, &at)) return false;
    *v = GetInt32(at);
    return true;
  }
  bool Text(char *field, size_t fieldSize) {
    int32_t n;
    const unsigned char *at;
    if (!Int(&n) || n < 0 || size_t(n) >= fieldSize || !Take(size_t(n), &at)) return false;
    memset(field, 0, fieldSize);
    memcpy(field, at, size_t(n));
    return true;
  }
};
}  // namespace

std::string EncodeWorkingExtras(const ShowDocument *show) {
  std::string out(WORKING_EXTRAS_MAGIC, kMagic);
  PutInt(&out, show->carriedA);
  PutText(&out, show->linkAddress, LINK_FIELD_SIZE);
  PutText(&out, show->linkCaption, LINK_FIELD_SIZE);
  PutInt(&out, show->carriedB);
  PasswordBlock block;
  InterleaveInvertWrite(show->password, &block);
  out.append(reinterpret_cast<const char *>(block.bytes), PASSWORD_BLOCK_SIZE);
  PutInt(&out, int32_t(out.size() + 4 + kMagic));
  out.append(WORKING_EXTRAS_MAGIC, kMagic);
  return out;
}

int DecodeWorkingExtras(const unsigned char *tail, size_t size, ShowDocument *show) {
  if (size < 4 + 2 * kMagic || memcmp(tail + size - kMagic, WORKING_EXTRAS_MAGIC, kMagic) != 0) return 0;
  int32_t total = GetInt32(tail + size - kMagic - 4);
  if (total < int32_t(2 * kMagic + 4) || size_t(total) > size) return 0;
  const unsigned char *start = tail + size - size_t(total);
  if (memcmp(start, WORKING_EXTRAS_MAGIC, kMagic) != 0) return 0;
  Cursor c = {start + kMagic, size_t(total) - 2 * kMagic - 4};
  ShowDocument read = {};
  const unsigned char *block;
  if (!c.Int(&read.carriedA) || !c.Text(read.linkAddress, LINK_FIELD_SIZE) ||
      !c.Text(read.linkCaption, LINK_FIELD_SIZE) || !c.Int(&read.carriedB) || !c.Take(PASSWORD_BLOCK_SIZE, &block) ||
      c.left != 0)
    return 0;
  PasswordBlock password;
  memcpy(password.bytes, block, PASSWORD_BLOCK_SIZE);
  InterleaveInvertRead(&password, read.password);
  show->carriedA = read.carriedA;
  show->carriedB = read.carriedB;
  memcpy(show->linkAddress, read.linkAddress, LINK_FIELD_SIZE);
  memcpy(show->linkCaption, read.linkCaption, LINK_FIELD_SIZE);
  memcpy(show->password, read.password, PASSWORD_BUFFER_SIZE);
  return 1;
}
