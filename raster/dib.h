// The image object: every picture in memory is one memory block laid out as
// a packed device-independent bitmap (40-byte BITMAPINFOHEADER, colour table,
// bottom-up rows padded to 4 bytes). This header declares the portable
// operations (queries, BMP files, pixel work, picture decoding) and, on
// Windows, the GDI conversions and drawing. Nothing here shows a message.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "shell/base/win_types.h"

struct PictureReport;  // raster/picture_report.h
struct DecodeStop;

// Largest pixel block a loaded or created picture may have (256 MiB): a
// header claiming more is refused before anything is allocated. The fuzz
// targets build with a smaller limit so that each input stays quick.
#ifdef VK_DIB_MAX_PIXEL_BYTES
constexpr uint64_t DIB_MAX_PIXEL_BYTES = VK_DIB_MAX_PIXEL_BYTES;
#else
constexpr uint64_t DIB_MAX_PIXEL_BYTES = 256u * 1024u * 1024u;
#endif

// ---- queries and layout -------------------------------------------------
uint32_t DibStride(int32_t width, int bitCount);          // ((bits * width + 31) / 32) * 4, 0 when too large
WORD DibNumColors(const void *header);                   // 40- or 12-byte header
WORD DibPaletteSize(const void *header);                 // table bytes (+ 12 for bit fields)
BYTE *DibBits(const void *dib);                           // block + biSize + DibPaletteSize
// 1 when the block holds a sane header, table and stride * height pixel bytes.
int DibIsWhole(const void *dib);
// A new 24- or 32-bit BI_RGB Dib without a colour table, pixels zero; null
// for another depth, an empty size or one too large.
void *DibNew(int32_t width, int32_t height, int bitCount);
int DibGetHeader(const void *dib, BITMAPINFOHEADER *header);
int DibGetRect(const void *dib, RECT *rect);
int DibGetSize(const void *dib, SIZE *size);
int DibGetBitCount(const void *dib);

// ---- BMP files (read, probe, save) ----------------------------------------
void *DibReadHeader(FILE *file);                          // header + table; file left at the rows
void *DibLoadFile(const char *path);
int DibProbeFile(const char *path);
int DibFileSize(const char *path, SIZE *size);
int DibSaveFile(const char *path, const void *dib);
int DibSaveFileAs(const char *path, const void *dib, int bitCount, DWORD compression);
// A BMP file (or bare packed DIB) held in memory, loaded as DibLoadFile would.
void *DibLoadMemory(const void *bytes, size_t size);

// ---- creation and depth ---------------------------------------------------
void *DibCreateSolid(int32_t width, int32_t height, int bitCount, COLORREF colour);
void *DibToRgb24(const void *dib);                        // copy of a 24-bit Dib, expansion of others
void *DibConvert(const void *dib, int bitCount);          // nearest-colour mapping for <= 8 bits
int DibDefaultPalette(void *newHeader, const void *source);

// ---- pixel operations -----------------------------------------------------
void *DibScale(const void *dib, const RECT *target, int smooth, int abortable);
void *DibScaleSmooth(const void *dib, const RECT *target, int smooth, int abortable);
// Nearest-sample resampling at the picture's own depth.
void *DibScaleNearest(const void *dib, int32_t width, int32_t height);
// The sizes DibScaleSmooth passes through, the last being the target; returns
// the count (at most max), 0 for an empty source or target.
int DibScaleSteps(int32_t sw, int32_t sh, int32_t tw, int32_t th, SIZE *steps, int max);
int FitRect(RECT *rect, int32_t maxWidth, int32_t maxHeight, int force);
void *DibThumbnail(const void *dib, int32_t maxWidth, int32_t maxHeight, int force, int smooth, int abortable);
void *DibBlend(const void *base, const RECT *rect, const void *overlay, int opacity, COLORREF keyColour);
int DibBurn(void *dst, const void *tile);
void *DibRotate90(const void *dib);
void *DibRotate180(const void *dib);
void *DibRotate270(const void *dib);
void *DibFlipVertical(const void *dib);
void *DibFlipHorizontal(const void *dib);

// ---- picture files ----------------------------------------------------------
enum PictureKindCode { PICTURE_NONE = 0, PICTURE_BMP = 1, PICTURE_JPEG = 2 };
int JpegScanHeader(const char *path, int *width, int *height, int *bits);
int JpegScanMemory(const void *bytes, size_t size, int *width, int *height, int *bits);
int JpegToBmpFile(const char *jpegPath, const char *bmpPath, int scaleDenom);
void *JpegDecodeFile(const char *path, int scaleDenom);   // the Dib the BMP file would load as
void *JpegDecodeMemory(const void *bytes, size_t size, int scaleDenom);
// The same with the reason of a failure in report (may be null) and the
// caller's stop request (may be null) asked while libjpeg works. A picture
// libjpeg could only decode with warnings comes back with the report's
// problem set to cut short or damaged: the player shows it as libjpeg made
// it, the authoring side refuses it.
void *JpegDecodeMemoryReport(const void *bytes, size_t size, int scaleDenom, const DecodeStop *stop,
                             PictureReport *report);
void *JpegDecodeFileReport(const char *path, int scaleDenom, const DecodeStop *stop, PictureReport *report);
// The bytes of a JPEG up to and including its end-of-image marker (what
// follows is not part of the picture); 0 when the data ends first. The file
// form walks an open file from its start.
size_t JpegDataLength(const void *bytes, size_t size);
int64_t JpegFileDataLength(FILE *file);
void *PictureLoad(const char *path, int scaleDenom);
// PictureLoad with the reason of a failure in report (may be null) and a stop
// request (may be null) asked during a long decode.
void *PictureLoadChecked(const char *path, int scaleDenom, const DecodeStop *stop, PictureReport *report);
// The bytes of a picture file that belong to the picture: a JPEG's up to its
// end marker (dropped receives the count of bytes after it), any other
// file's whole. Null with the reason in report for a file that is missing,
// empty, or larger than a picture file may be; nothing is read whole to
// find that out. The caller frees the block with MemFreePtr.
unsigned char *ReadPictureFile(const char *path, size_t *size, uint64_t *dropped, PictureReport *report);
int PictureKind(const char *path);
int PictureSize(const char *path, SIZE *size);
int IsSoundFile(const char *path);
void *DibFromImageData(const void *bytes, size_t size);

#ifdef _WIN32
// ---- GDI -------------------------------------------------------------------
void *DibFromBitmap(HBITMAP bitmap, DWORD compression, int bitCount, HPALETTE palette);
HBITMAP DibToBitmap(const void *dib, HPALETTE palette);
int DibDraw(HDC dc, int x, int y, int w, int h, const void *dib, int xSrc, int ySrc);
int DibStretchDraw(HDC dc, int xd, int yd, int wd, int hd, const void *dib, int xs, int ys, int ws, int hs);
void *CaptureDC(HDC dc, int w, int h);
HBITMAP BitmapCopyRect(HBITMAP bitmap, const RECT *rect);
int DrawSolidFrame(HDC dc, int left, int top, int right, int bottom, int thickness, COLORREF colour);
void *DibFromResource(HMODULE module, const char *name);
HBITMAP BitmapFromResource(HMODULE module, const char *name);

// The five shadow tiles, in the order of the names below.
enum { SHADOW_TILE_V, SHADOW_TILE_H, SHADOW_TILE_HV, SHADOW_TILE_HL, SHADOW_TILE_VT, SHADOW_TILE_COUNT };
extern const char *const SHADOW_TILE_NAMES[SHADOW_TILE_COUNT];
int DrawDropShadow(HDC dc, const RECT *rect, void *const tiles[SHADOW_TILE_COUNT]);
#endif
