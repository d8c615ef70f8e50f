// Finding, checking and reading the package behind the program image.
#include "setup/own_package.h"

#include "setup/pe_image.h"

bool ReadAt(HANDLE file, uint64_t offset, void *buffer, uint32_t size) {
  LARGE_INTEGER at;
  at.QuadPart = LONGLONG(offset);
  DWORD read = 0;
  return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && ReadFile(file, buffer, size, &read, nullptr) &&
         read == size;
}

PackageState OpenOwnPackage(const wchar_t *path, OwnPackage *package) {
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return PACKAGE_DAMAGED;
  LARGE_INTEGER size = {};
  GetFileSizeEx(file, &size);
  const uint64_t fileSize = uint64_t(size.QuadPart);
  // The image's headers and section table lie in its first pages.
  std::vector<unsigned char> head(fileSize < 65536 ? size_t(fileSize) : 65536);
  PackageState state = PACKAGE_DAMAGED;
  unsigned char bytes[SETUP_HEADER_SIZE];
  uint64_t end = 0;
  if (!ReadAt(file, 0, head.data(), uint32_t(head.size())) || !PeImageEnd(head.data(), head.size(), &end) ||
      end > fileSize) {
    // Not even the program image is whole.
  } else if (end == fileSize) {
    state = PACKAGE_NONE;
  } else if (fileSize - end >= SETUP_HEADER_SIZE && ReadAt(file, end, bytes, SETUP_HEADER_SIZE) &&
             ReadSetupHeader(bytes, &package->header) &&
             package->header.bodySize + 4 <= fileSize - end - SETUP_HEADER_SIZE) {
    // The whole body against its checksum, in pieces of 1 MB.
    const uint64_t bodyAt = end + SETUP_HEADER_SIZE;
    std::vector<unsigned char> piece(1u << 20);
    uint32_t crc = 0;
    bool read = true;
    for (uint64_t at = 0; read && at < package->header.bodySize;) {
      uint32_t n = uint32_t(package->header.bodySize - at < piece.size() ? package->header.bodySize - at : piece.size());
      read = ReadAt(file, bodyAt + at, piece.data(), n);
      crc = Crc32(crc, piece.data(), n);
      at += n;
    }
    unsigned char stored[4];
    if (read && ReadAt(file, bodyAt + package->header.bodySize, stored, 4) && GetU32(stored) == crc) {
      package->info.resize(package->header.infoSize);
      package->preview.resize(package->header.previewSize);
      if ((package->info.empty() || ReadAt(file, bodyAt, &package->info[0], package->header.infoSize)) &&
          (package->preview.empty() ||
           ReadAt(file, bodyAt + package->header.infoSize, package->preview.data(), package->header.previewSize))) {
        package->imageEnd = end;
        package->filesAt = bodyAt + package->header.infoSize + package->header.previewSize;
        package->bodyCrc = crc;
        state = PACKAGE_OK;
      }
    }
  }
  if (state == PACKAGE_OK) package->file = file;
  else CloseHandle(file);
  if (state == PACKAGE_NONE) package->imageEnd = end;
  return state;
}

void CloseOwnPackage(OwnPackage *package) {
  if (package->file != INVALID_HANDLE_VALUE) CloseHandle(package->file);
  package->file = INVALID_HANDLE_VALUE;
}

bool ReadProgramImage(const wchar_t *path, std::vector<unsigned char> *image) {
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size = {};
  GetFileSizeEx(file, &size);
  std::vector<unsigned char> head(size.QuadPart < 65536 ? size_t(size.QuadPart) : 65536);
  uint64_t end = 0;
  bool ok = ReadAt(file, 0, head.data(), uint32_t(head.size())) && PeImageEnd(head.data(), head.size(), &end) &&
            end <= uint64_t(size.QuadPart) && end <= 64u << 20;
  if (ok) {
    image->resize(size_t(end));
    ok = ReadAt(file, 0, image->data(), uint32_t(end)) && PeClearCertificateEntry(image->data(), image->size());
  }
  CloseHandle(file);
  return ok;
}

std::wstring Wide(const std::string &utf8) {
  if (utf8.empty()) return std::wstring();
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
  std::wstring out(size_t(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), &out[0], n);
  return out;
}

std::wstring InfoValue(const OwnPackage &package, const char *key) {
  std::string value;
  return SetupInfoValue(package.info, key, &value) ? Wide(value) : std::wstring();
}
