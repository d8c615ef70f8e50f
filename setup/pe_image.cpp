// PE headers, the resource directory down to the version resource, and the
// VS_VERSIONINFO tree of that resource.
#include "setup/pe_image.h"

#include "setup/setup_format.h"

namespace {
uint16_t U16(const unsigned char *at) { return uint16_t(at[0] | at[1] << 8); }

struct PeView {
  const unsigned char *data;
  size_t size;
  size_t optional;      // offset of the optional header
  size_t directories;   // offset of the data directories
  uint32_t directoryCount;
  size_t sections;      // offset of the section table
  uint16_t sectionCount;
};

bool Within(size_t size, size_t at, size_t length) { return at <= size && length <= size - at; }

bool OpenPe(const unsigned char *data, size_t size, PeView *pe) {
  if (!Within(size, 0, 64) || data[0] != 'M' || data[1] != 'Z') return false;
  size_t header = GetU32(data + 60);
  if (!Within(size, header, 24) || data[header] != 'P' || data[header + 1] != 'E' || data[header + 2] ||
      data[header + 3])
    return false;
  pe->data = data;
  pe->size = size;
  pe->sectionCount = U16(data + header + 6);
  uint16_t optionalSize = U16(data + header + 20);
  pe->optional = header + 24;
  if (!Within(size, pe->optional, optionalSize) || optionalSize < 2) return false;
  uint16_t magic = U16(data + pe->optional);
  size_t dirs = magic == 0x10B ? 96 : magic == 0x20B ? 112 : 0;
  if (!dirs || optionalSize < dirs) return false;
  pe->directories = pe->optional + dirs;
  pe->directoryCount = GetU32(data + pe->optional + dirs - 4);
  if (pe->directoryCount > (optionalSize - dirs) / 8) pe->directoryCount = uint32_t((optionalSize - dirs) / 8);
  pe->sections = pe->optional + optionalSize;
  return Within(size, pe->sections, size_t(pe->sectionCount) * 40);
}

// The file offset of a relative virtual address, or false.
bool FileOffset(const PeView &pe, uint32_t rva, size_t *offset) {
  for (uint16_t i = 0; i < pe.sectionCount; ++i) {
    const unsigned char *s = pe.data + pe.sections + 40 * size_t(i);
    uint32_t virtualSize = GetU32(s + 8), address = GetU32(s + 12), rawSize = GetU32(s + 16), raw = GetU32(s + 20);
    uint32_t span = virtualSize > rawSize ? virtualSize : rawSize;
    if (rva >= address && rva - address < span) {
      *offset = size_t(raw) + (rva - address);
      return true;
    }
  }
  return false;
}

// The target of the first entry of the resource directory at offset dir, or
// of the entry with id when id is not 0.
bool ResourceEntry(const PeView &pe, size_t dir, uint32_t id, uint32_t *target) {
  if (!Within(pe.size, dir, 16)) return false;
  size_t count = size_t(U16(pe.data + dir + 12)) + U16(pe.data + dir + 14);
  if (!Within(pe.size, dir + 16, count * 8)) return false;
  for (size_t i = 0; i < count; ++i) {
    const unsigned char *e = pe.data + dir + 16 + 8 * i;
    uint32_t name = GetU32(e);
    if (id == 0 || (!(name & 0x80000000u) && name == id)) {
      *target = GetU32(e + 4);
      return true;
    }
  }
  return false;
}

bool KeyIs(const unsigned char *at, size_t room, const char *key) {
  size_t i = 0;
  for (; key[i]; ++i)
    if (2 * i + 2 > room || U16(at + 2 * i) != uint16_t(static_cast<unsigned char>(key[i]))) return false;
  return 2 * i + 2 <= room && U16(at + 2 * i) == 0;
}

// Searches the blocks of [at, end) and their children for a string block
// named key; its value's offset and length in units.
bool FindString(const unsigned char *data, size_t at, size_t end, const char *key, size_t *offset, size_t *units) {
  while (at + 6 <= end) {
    size_t length = U16(data + at), valueLength = U16(data + at + 2), kind = U16(data + at + 4);
    if (length < 6 || length > end - at) return false;
    size_t blockEnd = at + length;
    size_t keyAt = at + 6, keyEnd = keyAt;
    while (keyEnd + 2 <= blockEnd && U16(data + keyEnd)) keyEnd += 2;
    if (keyEnd + 2 > blockEnd) return false;
    size_t valueAt = (keyEnd + 2 + 3) & ~size_t(3);
    size_t valueBytes = kind == 1 ? 2 * valueLength : valueLength;
    if (valueAt > blockEnd || valueBytes > blockEnd - valueAt) return false;
    if (kind == 1 && valueLength > 0 && KeyIs(data + keyAt, keyEnd + 2 - keyAt, key)) {
      *offset = valueAt;
      *units = valueLength;
      return true;
    }
    size_t children = (valueAt + valueBytes + 3) & ~size_t(3);
    if (children < blockEnd && FindString(data, children, blockEnd, key, offset, units)) return true;
    at = (blockEnd + 3) & ~size_t(3);
  }
  return false;
}
}  // namespace

int PeImageEnd(const unsigned char *headers, size_t size, uint64_t *end) {
  PeView pe;
  if (!OpenPe(headers, size, &pe)) return 0;
  uint64_t last = GetU32(headers + pe.optional + 60);  // SizeOfHeaders
  for (uint16_t i = 0; i < pe.sectionCount; ++i) {
    const unsigned char *s = headers + pe.sections + 40 * size_t(i);
    uint32_t rawSize = GetU32(s + 16), raw = GetU32(s + 20);
    if (rawSize && uint64_t(raw) + rawSize > last) last = uint64_t(raw) + rawSize;
  }
  *end = last;
  return 1;
}

int PeClearCertificateEntry(unsigned char *image, size_t size) {
  PeView pe;
  if (!OpenPe(image, size, &pe)) return 0;
  if (pe.directoryCount > 4)
    for (int i = 0; i < 8; ++i) image[pe.directories + 4 * 8 + i] = 0;
  return 1;
}

int PeVersionStringSlot(const unsigned char *image, size_t size, const char *key, size_t *offset, size_t *units) {
  PeView pe;
  if (!OpenPe(image, size, &pe) || pe.directoryCount <= 2) return 0;
  size_t base;
  uint32_t resourceRva = GetU32(image + pe.directories + 2 * 8);
  if (!resourceRva || !FileOffset(pe, resourceRva, &base)) return 0;
  uint32_t names, languages, leaf;
  if (!ResourceEntry(pe, base, 16, &names) || !(names & 0x80000000u)) return 0;
  if (!ResourceEntry(pe, base + (names & 0x7FFFFFFF), 0, &languages) || !(languages & 0x80000000u)) return 0;
  if (!ResourceEntry(pe, base + (languages & 0x7FFFFFFF), 0, &leaf) || (leaf & 0x80000000u)) return 0;
  size_t entry = base + leaf, data;
  if (!Within(size, entry, 16) || !FileOffset(pe, GetU32(image + entry), &data)) return 0;
  size_t length = GetU32(image + entry + 4);
  if (!Within(size, data, length)) return 0;
  return FindString(image, data, data + length, key, offset, units) ? 1 : 0;
}

int PeSetVersionString(unsigned char *image, size_t size, const char *key, const std::u16string &text) {
  size_t offset, units;
  if (!PeVersionStringSlot(image, size, key, &offset, &units)) return 0;
  for (size_t i = 0; i < units; ++i) {
    char16_t c = i + 1 < units && i < text.size() ? text[i] : 0;
    image[offset + 2 * i] = static_cast<unsigned char>(c & 0xFF);
    image[offset + 2 * i + 1] = static_cast<unsigned char>(c >> 8);
  }
  return 1;
}

int Utf8ToUtf16(const std::string &utf8, std::u16string *out) {
  out->clear();
  for (size_t i = 0; i < utf8.size();) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    uint32_t code;
    size_t extra;
    if (c < 0x80) code = c, extra = 0;
    else if ((c & 0xE0) == 0xC0) code = c & 0x1F, extra = 1;
    else if ((c & 0xF0) == 0xE0) code = c & 0x0F, extra = 2;
    else if ((c & 0xF8) == 0xF0) code = c & 0x07, extra = 3;
    else return 0;
    for (size_t k = 1; k <= extra; ++k) {
      if (i + k >= utf8.size()) return 0;
      unsigned char d = static_cast<unsigned char>(utf8[i + k]);
      if ((d & 0xC0) != 0x80) return 0;
      code = code << 6 | (d & 0x3F);
    }
    static const uint32_t least[] = {0, 0x80, 0x800, 0x10000};
    if (code < least[extra] || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) return 0;
    if (code >= 0x10000) {
      code -= 0x10000;
      out->push_back(char16_t(0xD800 + (code >> 10)));
      out->push_back(char16_t(0xDC00 + (code & 0x3FF)));
    } else {
      out->push_back(char16_t(code));
    }
    i += extra + 1;
  }
  return 1;
}
