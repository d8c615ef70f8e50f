#include "editor/page_pictures.h"

#include <windows.h>

#include <algorithm>

#include "editor/picture_adding.h"
#include "player/page_compose.h"
#include "raster/dib.h"

void *DrawPagePicture(Page *page, int32_t width, int32_t height, int32_t pageWidth, int32_t pageHeight) {
  if (!page || width < 1 || height < 1) return nullptr;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void *bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ReleaseDC(nullptr, screen);
  void *picture = nullptr;
  if (dc && bitmap) {
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT area = {0, 0, width, height};
    // Pictures are decoded no larger than they are drawn here.
    PictureDrawSize(std::max(width, height));
    if (RenderPage(dc, page, &area, pageWidth, pageHeight, LoadPictureForDrawing)) {
      GdiFlush();
      picture = DibNew(width, height, 24);
      if (picture) memcpy(DibBits(picture), bits, size_t(DibStride(width, 24)) * size_t(height));
    }
    SelectObject(dc, old);
  }
  if (bitmap) DeleteObject(bitmap);
  if (dc) DeleteDC(dc);
  return picture;
}
