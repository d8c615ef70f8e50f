// BMP files in every form that Windows and OS/2 programs write, for the
// authoring tool, which turns them into JPEG before they reach the player.
// The player's own reader (DibLoadFile) stays with the 12- and 40-byte
// headers and refuses run-length data; this one also takes the OS/2 2 header
// (16 to 64 bytes), the 52-, 56-, 108- (V4) and 124-byte (V5) headers, RLE4
// and RLE8 and bit-field masks, and is strict where the player is lenient:
// pixel data cut short is a damaged file, not black rows.
#pragma once

#include <cstddef>

// A BMP file (or bare packed DIB) held in memory as a new 24-bit Dib, rows
// bottom-up; null when it is not a BMP, uses a form not listed above (an
// embedded JPEG or PNG, OS/2 Huffman or RLE24) or is damaged or cut short.
// Alpha, colour spaces and colour profiles are ignored.
void *DibImportBmp(const void *bytes, size_t size);
// The same with the reason of a failure in report (may be null).
struct PictureReport;
void *DibImportBmpReport(const void *bytes, size_t size, PictureReport *report);
