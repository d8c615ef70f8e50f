// The part of every effect that is not its frames.
#include "transitions/effect_frame.h"

#include "raster/dib.h"
#include "transitions/abort_poll.h"

static void WINAPI RealSleep(DWORD ms) { Sleep(ms); }
static uint32_t SystemTickCount() { return GetTickCount(); }

EffectDrawing EffectDraw = {StretchBlt, BitBlt, RealSleep, nullptr, SystemTickCount};

int EffectBegin(const TransitionParams *params, EffectCanvas *canvas) {
  *canvas = EffectCanvas{};
  if (!params || !params->image || !params->imageSize || !params->destRect) return 0;
  GetClientRect(params->window, &canvas->client);
  canvas->area = params->wholeWindow == 1 ? canvas->client : *params->destRect;
  canvas->width = canvas->area.right - canvas->area.left;
  canvas->height = canvas->area.bottom - canvas->area.top;
  if (canvas->width < 0) canvas->width = 0;
  if (canvas->height < 0) canvas->height = 0;
  return 1;
}

int EffectCreateTarget(const TransitionParams *params, EffectCanvas *canvas, int targetWidth, int targetHeight) {
  if (targetWidth < 1) targetWidth = 1;
  if (targetHeight < 1) targetHeight = 1;
  canvas->bitmap = CreateCompatibleBitmap(params->dc, targetWidth, targetHeight);
  if (!canvas->bitmap) return 0;
  canvas->memDc = CreateCompatibleDC(params->dc);
  if (!canvas->memDc) {
    DeleteObject(canvas->bitmap);
    canvas->bitmap = nullptr;
    return 0;
  }
  canvas->oldBitmap = SelectObject(canvas->memDc, canvas->bitmap);
  SetStretchBltMode(canvas->memDc, COLORONCOLOR);
  const RECT &dest = *params->destRect;
  const int32_t *size = params->imageSize;
  if (params->wholeWindow == 1) {
    HBRUSH brush = CreateSolidBrush(params->backColor);
    RECT all = {0, 0, targetWidth, targetHeight};
    FillRect(canvas->memDc, &all, brush);
    DeleteObject(brush);
    DibStretchDraw(canvas->memDc, dest.left - canvas->area.left, dest.top - canvas->area.top,
                   dest.right - dest.left, dest.bottom - dest.top, params->image, 0, 0, size[0], size[1]);
  } else {
    BitBlt(canvas->memDc, 0, 0, targetWidth, targetHeight, params->dc, canvas->area.left, canvas->area.top, SRCCOPY);
    DibStretchDraw(canvas->memDc, 0, 0, canvas->width, canvas->height, params->image, 0, 0, size[0], size[1]);
  }
  return 1;
}

void EffectFreeTarget(EffectCanvas *canvas) {
  if (canvas->memDc) {
    SelectObject(canvas->memDc, canvas->oldBitmap);
    DeleteDC(canvas->memDc);
  }
  if (canvas->bitmap) DeleteObject(canvas->bitmap);
  canvas->memDc = nullptr;
  canvas->bitmap = nullptr;
}

bool EffectInterrupted(const TransitionParams *params) {
  return params->abortable == 1 && AbortRequested(params->mouseMoveAborts);
}

int EffectFinish(TransitionParams *params, int result) {
  params->result = result;
  return result;
}
