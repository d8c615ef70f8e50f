// The frames, defaults and dialog of melt. Every pick is two one-pixel-wide
// blits straight onto the window: the first moves the line's old content on
// by the step, the second lays the new picture's line end in behind it.
#include "transitions/melt/melt_effect.h"

#include <cstring>

#include "shell/mem_block.h"
#include "transitions/crt_random.h"
#include "transitions/effect_frame.h"
#include "transitions/effect_limits.h"

const char MeltName[] = "溶ける";

void MeltDefaults(TransitionParams *params) {
  ApplyEffectDefaults(EFFECT_MELT, &params->wait, params->effectParams);
}

int32_t MeltBaseStep(int32_t wait) {
  const int32_t step = 21 - ClampWait(wait) * 20 / 101;
  return step < 1 ? 1 : step;
}

namespace {
// One line: its column (or row) within the area and how far the new picture
// has come in.
struct MeltLine {
  int32_t position;
  int32_t progress;
};
}  // namespace

int MeltRun(TransitionParams *params) {
  EffectCanvas canvas;
  if (!EffectBegin(params, &canvas)) return 0;
  const bool columns = params->effectParams[0] == MELT_COLUMNS;
  const int32_t W = canvas.width, H = canvas.height;
  const int32_t lines = columns ? W : H, length = columns ? H : W;
  const int32_t step = MeltBaseStep(params->wait);

  auto *line = static_cast<MeltLine *>(MemAlloc(static_cast<size_t>(lines) * sizeof(MeltLine)));
  if (!line) return EffectFinish(params, 0);
  for (int32_t i = 0; i < lines; ++i) line[i] = {i, 0};
  if (!EffectCreateTarget(params, &canvas, W, H)) {
    MemFreePtr(line);
    return EffectFinish(params, 0);
  }

  const int32_t last = length - 1;  // a line is finished at this progress
  const int left = canvas.area.left, top = canvas.area.top;
  CrtRandom random;
  int result = 1, frame = 0;
  int32_t open = lines;
  while (open != 0 && result) {
    CrtSeed(&random, EffectDraw.tickCount());  // a new seed for every pass
    for (int32_t i = 0; i < open; ++i) {
      const int32_t l = static_cast<int32_t>(static_cast<int64_t>(CrtRand(&random)) * open / 32768);
      int32_t t = step * (CrtRand(&random) & 15);
      if (l < 0 || l >= open) continue;
      MeltLine &picked = line[l];
      const int32_t p = picked.progress, pos = picked.position;
      if (p < last) {
        if (p + t > last) t = last - p;
        if (columns) {
          const int X = left + pos;
          EffectDraw.bitBlt(params->dc, X, top + p + t, 1, H - p - t, params->dc, X, top + p, SRCCOPY);
          EffectDraw.bitBlt(params->dc, X, top, 1, p + t + 1, canvas.memDc, pos, H - p - t - 1, SRCCOPY);
        } else {
          const int Y = top + pos;
          EffectDraw.bitBlt(params->dc, left + p + t, Y, W - p - t, 1, params->dc, left + p, Y, SRCCOPY);
          EffectDraw.bitBlt(params->dc, left, Y, p + t + 1, 1, canvas.memDc, W - p - t - 1, pos, SRCCOPY);
        }
        picked.progress = p + t;
      }
      if (picked.progress >= last) {
        // Keep every open line below `open`: move the last open one into
        // this place and close the list by one.
        int32_t j = open - 1;
        while (j >= 0 && line[j].progress >= last) --j;
        if (j < 0) {
          open = 0;
        } else {
          if (l < j) {
            MeltLine swap = line[l];
            line[l] = line[j];
            line[j] = swap;
          }
          --open;
        }
      }
      EffectFrameDone(frame++);
      if (EffectInterrupted(params)) {
        result = 0;
        break;
      }
    }
  }
  EffectFreeTarget(&canvas);
  MemFreePtr(line);
  return EffectFinish(params, result);
}

static void FillDirection(HWND dialog, TransitionParams *params) {
  CheckRadioButton(dialog, IDC_MELT_COLUMNS, IDC_MELT_ROWS,
                   params->effectParams[0] == MELT_COLUMNS ? IDC_MELT_COLUMNS : IDC_MELT_ROWS);
}

static int AcceptDirection(HWND dialog, int32_t words[EFFECT_PARAM_WORDS]) {
  words[0] = IsDlgButtonChecked(dialog, IDC_MELT_COLUMNS) == BST_CHECKED ? MELT_COLUMNS : MELT_ROWS;
  return 1;
}

const EffectDialog MeltDialog = {1, FillDirection, AcceptDirection, IDC_WAIT_GROUP};
