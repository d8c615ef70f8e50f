// The package a set-up program carries after its own program image: what it
// installs and how. Portable: the authoring side writes it, the set-up
// program reads it back.
//
// Layout, right after the last section of the program image (all integers
// little-endian):
//   header, 48 bytes: magic "VORMKIT-SETUP-01" (16), format 1 (u32), info
//     size, preview size, file count (u32 each), body size (u64), the CRC-32
//     of the header's first 40 bytes (u32), 0 (u32);
//   body: the info text (UTF-8 "key=value" lines), the preview picture (a
//     packed 24-bit device-independent bitmap, or nothing), then per file:
//     name size (u32), name (UTF-8, a relative path with '\'), size (u64),
//     the file's bytes;
//   the CRC-32 of the body (u32).
// Nothing is read from the end of the file, so a code-signing certificate
// appended later changes nothing that is read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

constexpr size_t SETUP_MAGIC_SIZE = 16;
constexpr size_t SETUP_HEADER_SIZE = 48;
constexpr uint32_t SETUP_FORMAT = 1;
// Limits the set-up program holds a package to, so that a damaged header
// cannot ask for giant blocks.
constexpr uint32_t SETUP_MAX_INFO = 64 * 1024;
constexpr uint32_t SETUP_MAX_PREVIEW = 16 * 1024 * 1024;
constexpr uint32_t SETUP_MAX_FILES = 4096;
constexpr uint32_t SETUP_MAX_NAME = 240;

extern const char SETUP_MAGIC[SETUP_MAGIC_SIZE + 1];

struct SetupHeader {
  uint32_t infoSize;
  uint32_t previewSize;
  uint32_t fileCount;
  uint64_t bodySize;
};

// The CRC-32 of IEEE 802.3 (reflected 0xEDB88320), continued from crc (0 to start).
uint32_t Crc32(uint32_t crc, const void *bytes, size_t size);

void PutU32(unsigned char *at, uint32_t value);
void PutU64(unsigned char *at, uint64_t value);
uint32_t GetU32(const unsigned char *at);
uint64_t GetU64(const unsigned char *at);

void WriteSetupHeader(const SetupHeader &header, unsigned char out[SETUP_HEADER_SIZE]);
// 1 when the bytes are a whole, undamaged header within the limits above.
int ReadSetupHeader(const unsigned char bytes[SETUP_HEADER_SIZE], SetupHeader *header);

// The value of key in the info text ("key=value" lines, '\n' or "\r\n"); 0
// when the key is missing.
int SetupInfoValue(const std::string &info, const char *key, std::string *value);

// 1 when name is a path the set-up may write under its install folder: one or
// more components separated by '\', none empty, "." or "..", without a drive,
// without the characters Windows forbids in file names, at most
// SETUP_MAX_NAME bytes.
int SetupNameIsSafe(const std::string &name);
