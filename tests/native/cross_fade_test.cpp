// QUADRIL's cross-fade frames against the blend written out from the rule,
// (opacity x new + (100 - opacity) x old) div 100 per channel, for every pair
// of old and new channel values at every opacity.
#include "transitions/QUADRIL/cross_fade.h"

#include <gtest/gtest.h>

#include "raster/dib.h"
#include "shell/base/mem_block.h"
#include "transitions/frame_picture.h"

namespace {
// A 24-bit packed DIB of w x h whose pixel (x, row from the bottom y) is bgr(x, y).
template <typename F>
void *Make24(int w, int h, F bgr) {
  void *dib = DibNew(w, h, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) bgr(x, y, DibBits(dib) + static_cast<size_t>(y) * DibStride(w, 24) + x * 3);
  return dib;
}

int Mix(int oldValue, int newValue, int opacity) { return (opacity * newValue + (100 - opacity) * oldValue) / 100; }
}  // namespace

TEST(CrossFade, EveryPairOfValuesAtEveryOpacity) {
  // 255 x 257 pixels (rows padded): the old blue runs along x, the new blue
  // along y, so every (old, new) pair of blue values appears; green and red
  // take the pairs the other way round and mixed.
  const int w = 255, h = 257;
  auto oldAt = [](int x, int y, uint8_t *p) {
    p[0] = static_cast<uint8_t>(x);
    p[1] = static_cast<uint8_t>(y);
    p[2] = static_cast<uint8_t>(x ^ y);
  };
  auto newAt = [](int x, int y, uint8_t *p) {
    p[0] = static_cast<uint8_t>(y);
    p[1] = static_cast<uint8_t>(x);
    p[2] = static_cast<uint8_t>(255 - x);
  };
  void *before = Make24(w, h, oldAt), *after = Make24(w, h, newAt);
  CrossFade fade;
  ASSERT_EQ(CrossFadeStart(&fade, w, h), 1);
  ASSERT_EQ(CrossFadeLoad(&fade, before, after), 1);
  void *frame = FramePictureNew(w, h);
  ASSERT_NE(frame, nullptr);
  for (int opacity = 0; opacity <= 100; ++opacity) {
    CrossFadeFrame(&fade, opacity, frame);
    const uint32_t *pixel = FramePixels(frame);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        uint8_t o[3], n[3];
        oldAt(x, y, o);
        newAt(x, y, n);
        const uint32_t want = static_cast<uint32_t>(Mix(o[2], n[2], opacity)) << 16 |
                              static_cast<uint32_t>(Mix(o[1], n[1], opacity)) << 8 | Mix(o[0], n[0], opacity);
        ASSERT_EQ(pixel[y * w + x], want) << "opacity " << opacity << " pixel " << x << "," << y;
      }
  }
  MemFree(&frame);
  CrossFadeEnd(&fade);
  EXPECT_EQ(fade.base, nullptr);
  MemFree(&before);
  MemFree(&after);
}

TEST(CrossFade, PicturesThatDoNotFitAreNotTaken) {
  auto grey = [](int, int, uint8_t *p) { p[0] = p[1] = p[2] = 90; };
  void *right = Make24(8, 6, grey), *wrong = Make24(6, 8, grey);
  CrossFade fade;
  ASSERT_EQ(CrossFadeStart(&fade, 8, 6), 1);
  EXPECT_EQ(CrossFadeLoad(&fade, right, wrong), 0);
  EXPECT_EQ(CrossFadeLoad(&fade, nullptr, right), 0);
  EXPECT_EQ(CrossFadeLoad(&fade, right, right), 1);
  CrossFadeEnd(&fade);
  EXPECT_EQ(CrossFadeStart(&fade, 0, 6), 0);
  MemFree(&right);
  MemFree(&wrong);
}
