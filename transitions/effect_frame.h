// The common skeleton of every effect: the area it covers, the off-screen
// target holding the new state, abort polling and clean-up. Each effect
// adds only its own frames.
#pragma once

#include <windows.h>

#include <cstdint>

#include "transitions/transition_params.h"

struct EffectCanvas {
  RECT client;        // client rectangle of the window
  RECT area;          // the effect area in client coordinates
  int width, height;  // size of the area
  HDC memDc;          // the off-screen target, selected into memDc
  HBITMAP bitmap;
  HGDIOBJ oldBitmap;
};

// Drawing onto the window and reading the clock go through these, so that a
// test that links an effect's frames can count frames and blits, skip the
// sleeps and fix the seed of a random order.
struct EffectDrawing {
  BOOL(WINAPI *stretchBlt)(HDC, int, int, int, int, HDC, int, int, int, int, DWORD);
  BOOL(WINAPI *bitBlt)(HDC, int, int, int, int, HDC, int, int, DWORD);
  void(WINAPI *sleep)(DWORD);
  void (*frameDone)(int frame);  // called after each frame; may be null
  // The millisecond tick count (GetTickCount) that seeds the runtime's
  // random generator wherever an effect draws a random order.
  uint32_t (*tickCount)();
};
extern EffectDrawing EffectDraw;

// Reads the client rectangle and picks the area (client with wholeWindow, else
// destRect). 0 when the block cannot be used (null image, size or rectangle).
int EffectBegin(const TransitionParams *params, EffectCanvas *canvas);
// Creates the target (at least the area's size) and fills it with the new
// state: backColor plus the picture at destRect with wholeWindow, else the
// screen under the area with the picture stretched over the area.
int EffectCreateTarget(const TransitionParams *params, EffectCanvas *canvas, int targetWidth, int targetHeight);
void EffectFreeTarget(EffectCanvas *canvas);
// True when the effect must stop now: abortable and input is waiting.
bool EffectInterrupted(const TransitionParams *params);
// Stores and returns the result.
int EffectFinish(TransitionParams *params, int result);
// A frame is over: report it to the hook.
inline void EffectFrameDone(int frame) {
  if (EffectDraw.frameDone) EffectDraw.frameDone(frame);
}
