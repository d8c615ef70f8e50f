// The few Windows record types the portable core needs. On Windows they come
// from <windows.h>; elsewhere this header declares layout-identical structs so
// that show records, bitmaps and fonts are read and written byte for byte the
// same way in the native tools and tests as in the 32-bit product.
#pragma once

#include <cstddef>
#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#else

typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef int32_t BOOL;
typedef uint32_t UINT;
typedef char CHAR;
typedef DWORD COLORREF;

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

#define BI_RGB 0L
#define BI_RLE8 1L
#define BI_RLE4 2L
#define BI_BITFIELDS 3L
#define LF_FACESIZE 32

#define RGB(r, g, b) ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(rgb) ((BYTE)(rgb))
#define GetGValue(rgb) ((BYTE)(((WORD)(rgb)) >> 8))
#define GetBValue(rgb) ((BYTE)((rgb) >> 16))

struct RECT {
  LONG left, top, right, bottom;
};

struct POINT {
  LONG x, y;
};

struct SIZE {
  LONG cx, cy;
};

struct RGBQUAD {
  BYTE rgbBlue, rgbGreen, rgbRed, rgbReserved;
};

struct BITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  LONG biHeight;
  WORD biPlanes;
  WORD biBitCount;
  DWORD biCompression;
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
};

struct BITMAPCOREHEADER {
  DWORD bcSize;
  WORD bcWidth;
  WORD bcHeight;
  WORD bcPlanes;
  WORD bcBitCount;
};

struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};

#pragma pack(push, 2)
struct BITMAPFILEHEADER {
  WORD bfType;
  DWORD bfSize;
  WORD bfReserved1;
  WORD bfReserved2;
  DWORD bfOffBits;
};
#pragma pack(pop)

struct LOGFONTA {
  LONG lfHeight;
  LONG lfWidth;
  LONG lfEscapement;
  LONG lfOrientation;
  LONG lfWeight;
  BYTE lfItalic;
  BYTE lfUnderline;
  BYTE lfStrikeOut;
  BYTE lfCharSet;
  BYTE lfOutPrecision;
  BYTE lfClipPrecision;
  BYTE lfQuality;
  BYTE lfPitchAndFamily;
  CHAR lfFaceName[LF_FACESIZE];
};

#endif  // _WIN32

// The layouts the show file and the bitmap files depend on, on every build.
static_assert(sizeof(RECT) == 16 && offsetof(RECT, bottom) == 12, "RECT layout");
static_assert(sizeof(RGBQUAD) == 4 && offsetof(RGBQUAD, rgbRed) == 2, "RGBQUAD layout");
static_assert(sizeof(BITMAPINFOHEADER) == 40, "BITMAPINFOHEADER size");
static_assert(offsetof(BITMAPINFOHEADER, biBitCount) == 14, "BITMAPINFOHEADER layout");
static_assert(offsetof(BITMAPINFOHEADER, biSizeImage) == 20, "BITMAPINFOHEADER layout");
static_assert(offsetof(BITMAPINFOHEADER, biClrUsed) == 32, "BITMAPINFOHEADER layout");
static_assert(sizeof(BITMAPCOREHEADER) == 12, "BITMAPCOREHEADER size");
static_assert(sizeof(BITMAPFILEHEADER) == 14, "BITMAPFILEHEADER size");
static_assert(offsetof(BITMAPFILEHEADER, bfSize) == 2, "BITMAPFILEHEADER layout");
static_assert(offsetof(BITMAPFILEHEADER, bfOffBits) == 10, "BITMAPFILEHEADER layout");
static_assert(sizeof(LOGFONTA) == 60, "LOGFONTA size");
static_assert(offsetof(LOGFONTA, lfItalic) == 20, "LOGFONTA layout");
static_assert(offsetof(LOGFONTA, lfFaceName) == 28, "LOGFONTA layout");
static_assert(sizeof(COLORREF) == 4, "COLORREF size");
