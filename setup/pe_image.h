// Reading and patching a Windows program image in memory, portably: where
// its last section ends (a package appended there follows the image), the
// code-signing certificate's directory entry, and the texts of its version
// resource. Every offset is checked against the bytes given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The end of the image's headers and sections in the file: where appended
// data begins. headers need only hold the headers and the section table.
// 0 when the bytes are not a PE image.
int PeImageEnd(const unsigned char *headers, size_t size, uint64_t *end);

// Zeroes the certificate table entry of the data directories, so that a copy
// of a signed image cut at its image end names no certificate beyond its end.
// 0 when the bytes are not a PE image.
int PeClearCertificateEntry(unsigned char *image, size_t size);

// The room of the string value named key (for example "FileDescription") in
// the image's version resource: its offset in image and its length in UTF-16
// units, the terminating zero included. 0 when there is no such value.
int PeVersionStringSlot(const unsigned char *image, size_t size, const char *key, size_t *offset, size_t *units);

// Writes text into that room, cut to fit, and fills the rest with zeros.
// 0 when there is no such value.
int PeSetVersionString(unsigned char *image, size_t size, const char *key, const std::u16string &text);

// UTF-8 to UTF-16; 0 when utf8 is not valid UTF-8.
int Utf8ToUtf16(const std::string &utf8, std::u16string *out);
