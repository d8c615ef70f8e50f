// Where a code-signing signature begins in a Windows program file. Signing
// (signtool, osslsigncode) appends the signature at the end of the file,
// behind anything appended before it (a saver's show, a set-up program's
// package), and names its place in the certificate table entry of the
// image's data directories. Readers of appended data stop there, so that a
// signed file reads as it did before it was signed. Portable and bounded:
// every offset is checked against the bytes given.
#pragma once

#include <cstddef>
#include <cstdint>

// The file's size without its signature: the offset of the certificate table
// when head (the file's first bytes, at least its PE headers) names one that
// lies inside the file and runs to its end, else fileSize. Bytes that are not
// a PE image give fileSize.
uint64_t UnsignedSize(const unsigned char *head, size_t headSize, uint64_t fileSize);

// How many bytes of a file's start UnsignedSize needs to see.
constexpr size_t SIGNED_SIZE_HEAD = 4096;
