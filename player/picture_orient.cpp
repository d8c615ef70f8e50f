// The orientation code's image operations applied in order, rotation first.
#include "player/picture_orient.h"

#include "player/play_rules.h"
#include "raster/dib.h"
#include "shell/base/mem_block.h"

static void *ApplyOrientOp(const void *dib, OrientOp op) {
  switch (op) {
    case ORIENT_ROTATE90: return DibRotate90(dib);
    case ORIENT_ROTATE180: return DibRotate180(dib);
    case ORIENT_ROTATE270: return DibRotate270(dib);
    case ORIENT_FLIP_VERTICAL: return DibFlipVertical(dib);
    case ORIENT_FLIP_HORIZONTAL: return DibFlipHorizontal(dib);
  }
  return nullptr;
}

void *OrientLayer(void *layer, int32_t orientation) {
  if (!layer) return nullptr;
  OrientOp ops[2];
  int n = OrientationOps(orientation, ops);
  if (n < 0) return nullptr;
  if (n == 0) return layer;
  void *image = layer;
  for (int i = 0; i < n; ++i) {
    void *next = ApplyOrientOp(image, ops[i]);
    if (image != layer) MemFree(&image);
    if (!next) return nullptr;
    image = next;
  }
  return image;
}
