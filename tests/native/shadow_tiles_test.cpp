// The generated drop-shadow tiles hold exactly the listed grey levels, and
// the banner is a 360 x 180 colour JPEG.
#include <gtest/gtest.h>

#include <string>

#include "raster/dib.h"
#include "shell/base/mem_block.h"
#include "tests/support/raster_pictures.h"

namespace {

const int EDGE[8] = {88, 109, 136, 168, 201, 233, 255, 255};
const int CORNER[8][8] = {{115, 133, 157, 185, 214, 242, 255, 255}, {133, 150, 172, 197, 223, 249, 255, 255},
                          {157, 172, 190, 212, 235, 255, 255, 255}, {185, 197, 212, 230, 249, 255, 255, 255},
                          {214, 223, 235, 249, 255, 255, 255, 255}, {242, 249, 255, 255, 255, 255, 255, 255},
                          {255, 255, 255, 255, 255, 255, 255, 255}, {255, 255, 255, 255, 255, 255, 255, 255}};

void CheckTile(const char *file, int w, int h, int (*grey)(int x, int y)) {
  SCOPED_TRACE(file);
  void *dib = DibLoadFile((std::string(VK_RESOURCES) + "/" + file).c_str());
  ASSERT_NE(dib, nullptr);
  const BITMAPINFOHEADER *hd = static_cast<const BITMAPINFOHEADER *>(dib);
  EXPECT_EQ(hd->biBitCount, 24);
  ASSERT_EQ(hd->biWidth, w);
  ASSERT_EQ(hd->biHeight, h);
  const uint8_t *bits = static_cast<const uint8_t *>(dib) + 40;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint8_t *p = testpic::Bgr(bits, w, h, x, y);
      ASSERT_EQ(p[0], grey(x, y)) << x << "," << y;
      ASSERT_EQ(p[1], grey(x, y));
      ASSERT_EQ(p[2], grey(x, y));
    }
  MemFree(&dib);
}

}  // namespace

TEST(ShadowTiles, HoldTheListedGreyLevels) {
  CheckTile("shadow_h.bmp", 32, 8, [](int, int y) { return EDGE[y]; });
  CheckTile("shadow_v.bmp", 8, 32, [](int x, int) { return EDGE[x]; });
  CheckTile("shadow_hv.bmp", 8, 8, [](int x, int y) { return CORNER[y][x]; });
  CheckTile("shadow_hl.bmp", 8, 8, [](int x, int y) { return CORNER[y][7 - x]; });
  CheckTile("shadow_vt.bmp", 8, 8, [](int x, int y) { return CORNER[7 - y][x]; });
}

TEST(ShadowTiles, BannerIsA360By180ColourJpeg) {
  std::string banner = std::string(VK_RESOURCES) + "/banner.jpg";
  EXPECT_EQ(PictureKind(banner.c_str()), PICTURE_JPEG);
  void *dib = PictureLoad(banner.c_str(), 1);
  ASSERT_NE(dib, nullptr);
  EXPECT_EQ(static_cast<const BITMAPINFOHEADER *>(dib)->biWidth, 360);
  EXPECT_EQ(static_cast<const BITMAPINFOHEADER *>(dib)->biHeight, 180);
  EXPECT_EQ(static_cast<const BITMAPINFOHEADER *>(dib)->biBitCount, 24);
  MemFree(&dib);
}
