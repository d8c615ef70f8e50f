// The frames, defaults and dialog checks of nijimu. Each frame widens every
// cell's magnified window by one pixel on each side; the last frame copies
// every cell 1:1. The cells are read from a copy of the new content laid
// out cell after cell, so that the reads for one cell lie together in memory.
#include "transitions/nijimu/nijimu_effect.h"

#include <cstdint>
#include <cstring>

#include "shell/base/mem_block.h"
#include "transitions/crt_random.h"
#include "transitions/effect_frame.h"
#include "transitions/effect_limits.h"

const char NijimuName[] = "滲む";

// Cell sizes from a show file beyond what the dialog allows are clamped here,
// so that a damaged value cannot ask for a giant bitmap or frame count.
enum { NIJIMU_LARGEST_CELL = 256 };

void NijimuDefaults(TransitionParams *params) {
  ApplyEffectDefaults(EFFECT_NIJIMU, &params->wait, params->effectParams);
}

namespace {
// Cells of at least this size are read from a column of cells (below);
// smaller ones gain little from it and would need a blit per cell to lay out.
enum { NIJIMU_TILED_CELL = 16 };

// The new content of every cell, one cell below the other in a bitmap one
// cell wide, so that the pixels a frame reads for one cell lie together in
// memory instead of one picture row apart. dc is null when the cells are
// read where they are in the target.
struct CellColumn {
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ defaultBitmap;
};

CellColumn MakeCellColumn(const EffectCanvas &canvas, int32_t cols, int32_t count, int32_t cell) {
  CellColumn column = {};
  if (cell < NIJIMU_TILED_CELL || count > INT32_MAX / cell) return column;
  column.bitmap = CreateCompatibleBitmap(canvas.memDc, cell, count * cell);
  column.dc = column.bitmap ? CreateCompatibleDC(canvas.memDc) : nullptr;
  if (!column.dc) {
    if (column.bitmap) DeleteObject(column.bitmap);
    return {};
  }
  column.defaultBitmap = SelectObject(column.dc, column.bitmap);
  for (int32_t c = 0; c < count; ++c)
    BitBlt(column.dc, 0, c * cell, cell, cell, canvas.memDc, (c % cols) * cell, (c / cols) * cell, SRCCOPY);
  return column;
}

void FreeCellColumn(CellColumn *column) {
  if (!column->dc) return;
  SelectObject(column->dc, column->defaultBitmap);
  DeleteObject(column->bitmap);
  DeleteDC(column->dc);
}
}  // namespace

int NijimuRun(TransitionParams *params) {
  EffectCanvas canvas;
  if (!EffectBegin(params, &canvas) || params->effectParams[0] <= 0) return 0;
  const int32_t cell = ClampInt(params->effectParams[0], 1, NIJIMU_LARGEST_CELL);
  const DWORD wait = static_cast<DWORD>(ClampWait(params->wait));

  const int32_t cols = CellsFor(canvas.width, cell), rows = CellsFor(canvas.height, cell);
  const int32_t count = cols * rows;
  int32_t *order = ShuffledCellOrder(count, EffectDraw.tickCount());
  if (!order) return EffectFinish(params, 0);

  if (!EffectCreateTarget(params, &canvas, cols * cell, rows * cell)) {
    MemFreePtr(order);
    return EffectFinish(params, 0);
  }

  CellColumn column = MakeCellColumn(canvas, cols, count, cell);
  const HDC source = column.dc ? column.dc : canvas.memDc;
  int result = 1;
  const int32_t first = cell / 2 - 1;  // offset of the first frame's window
  if (first >= 0) {
    const int32_t spacing = first > 20 ? first / 20 : 1;
    int32_t side = cell - 2 * first;
    int frame = 0;
    for (int32_t n = first; n >= 0; --n, side += 2) {
      for (int32_t i = 0; i < count; ++i) {
        const int32_t x = (order[i] % cols) * cell, y = (order[i] / cols) * cell;
        // The cell's top-left corner in the copy, or in the target itself.
        const int32_t sx = column.dc ? 0 : x, sy = column.dc ? order[i] * cell : y;
        EffectDraw.stretchBlt(params->dc, canvas.area.left + x, canvas.area.top + y, cell, cell, source, sx + n,
                              sy + n, side, side, SRCCOPY);
      }
      EffectFrameDone(frame++);
      if (n % spacing == 0) {
        EffectDraw.sleep(wait);
        if (EffectInterrupted(params)) {
          result = 0;
          break;
        }
      }
    }
  }
  FreeCellColumn(&column);
  EffectFreeTarget(&canvas);
  MemFreePtr(order);
  return EffectFinish(params, result);
}

static void FillCell(HWND dialog, TransitionParams *params) {
  SetDlgItemInt(dialog, IDC_NIJIMU_CELL, static_cast<UINT>(params->effectParams[0]), FALSE);
}

static int AcceptCell(HWND dialog, int32_t words[EFFECT_PARAM_WORDS]) {
  UINT value = ReadUnsigned(dialog, IDC_NIJIMU_CELL);
  if (value < NIJIMU_MIN_CELL || value > NIJIMU_MAX_CELL) {
    SetDlgItemInt(dialog, IDC_NIJIMU_CELL, value < NIJIMU_MIN_CELL ? NIJIMU_MIN_CELL : NIJIMU_MAX_CELL, FALSE);
    return 0;
  }
  words[0] = static_cast<int32_t>(value);
  return 1;
}

const EffectDialog NijimuDialog = {1, FillCell, AcceptCell, IDC_WAIT_GROUP};
