// The package's header, checksum, info text and names.
#include "setup/setup_format.h"

const char SETUP_MAGIC[SETUP_MAGIC_SIZE + 1] = "VORMKIT-SETUP-01";

uint32_t Crc32(uint32_t crc, const void *bytes, size_t size) {
  static uint32_t table[256];
  if (!table[1]) {
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      table[n] = c;
    }
  }
  const unsigned char *p = static_cast<const unsigned char *>(bytes);
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) crc = table[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

void PutU32(unsigned char *at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}

void PutU64(unsigned char *at, uint64_t value) {
  for (int i = 0; i < 8; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}

uint32_t GetU32(const unsigned char *at) {
  return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}

uint64_t GetU64(const unsigned char *at) { return uint64_t(GetU32(at)) | uint64_t(GetU32(at + 4)) << 32; }

void WriteSetupHeader(const SetupHeader &header, unsigned char out[SETUP_HEADER_SIZE]) {
  for (size_t i = 0; i < SETUP_MAGIC_SIZE; ++i) out[i] = static_cast<unsigned char>(SETUP_MAGIC[i]);
  PutU32(out + 16, SETUP_FORMAT);
  PutU32(out + 20, header.infoSize);
  PutU32(out + 24, header.previewSize);
  PutU32(out + 28, header.fileCount);
  PutU64(out + 32, header.bodySize);
  PutU32(out + 40, Crc32(0, out, 40));
  PutU32(out + 44, 0);
}

int ReadSetupHeader(const unsigned char bytes[SETUP_HEADER_SIZE], SetupHeader *header) {
  for (size_t i = 0; i < SETUP_MAGIC_SIZE; ++i)
    if (bytes[i] != static_cast<unsigned char>(SETUP_MAGIC[i])) return 0;
  if (GetU32(bytes + 40) != Crc32(0, bytes, 40) || GetU32(bytes + 16) != SETUP_FORMAT) return 0;
  header->infoSize = GetU32(bytes + 20);
  header->previewSize = GetU32(bytes + 24);
  header->fileCount = GetU32(bytes + 28);
  header->bodySize = GetU64(bytes + 32);
  // Each file takes at least its 12 bytes of name size and size.
  uint64_t least = uint64_t(header->infoSize) + header->previewSize + 12ull * header->fileCount;
  return header->infoSize <= SETUP_MAX_INFO && header->previewSize <= SETUP_MAX_PREVIEW &&
         header->fileCount >= 1 && header->fileCount <= SETUP_MAX_FILES && header->bodySize >= least;
}

int SetupInfoValue(const std::string &info, const char *key, std::string *value) {
  const std::string wanted = std::string(key) + "=";
  size_t at = 0;
  while (at < info.size()) {
    size_t end = info.find('\n', at);
    if (end == std::string::npos) end = info.size();
    std::string line = info.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.compare(0, wanted.size(), wanted) == 0) {
      *value = line.substr(wanted.size());
      return 1;
    }
    at = end + 1;
  }
  return 0;
}

int SetupNameIsSafe(const std::string &name) {
  if (name.empty() || name.size() > SETUP_MAX_NAME) return 0;
  size_t start = 0;
  while (true) {
    size_t end = name.find('\\', start);
    if (end == std::string::npos) end = name.size();
    std::string part = name.substr(start, end - start);
    if (part.empty() || part == "." || part == "..") return 0;
    // A trailing dot or space names another file than it seems to on Windows.
    if (part.back() == '.' || part.back() == ' ') return 0;
    for (unsigned char c : part)
      if (c < 32 || c == '/' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|')
        return 0;
    if (end == name.size()) return 1;
    start = end + 1;
  }
}
