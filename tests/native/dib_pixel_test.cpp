// Pixel operations: resampling (box average, three-point interpolation,
// nearest sample, the enlargement steps), fitting, blending, darkening and
// the orientation changes at every depth, against arithmetic done here.
#include "raster/dib.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "shell/base/mem_block.h"
#include "tests/support/raster_pictures.h"

using namespace testpic;

namespace {

const BITMAPINFOHEADER *Hdr(const void *dib) { return static_cast<const BITMAPINFOHEADER *>(dib); }
uint8_t *Bytes(void *dib) { return static_cast<uint8_t *>(dib); }

// A Dib of any depth with a colour table of 2^bits entries (up to 8 bits), pixels zero.
void *MakeDib(int w, int h, int depth) {
  int n = depth <= 8 ? 1 << depth : 0;
  void *dib = MemAlloc(40 + n * 4 + Stride(w, depth) * h);
  BITMAPINFOHEADER *hd = static_cast<BITMAPINFOHEADER *>(dib);
  hd->biSize = 40;
  hd->biWidth = w;
  hd->biHeight = h;
  hd->biPlanes = 1;
  hd->biBitCount = static_cast<WORD>(depth);
  for (int i = 0; i < n; ++i) Bytes(dib)[40 + i * 4 + 1] = static_cast<uint8_t>(i);
  return dib;
}
uint8_t *PixelsOf(void *dib) {
  int depth = Hdr(dib)->biBitCount;
  return Bytes(dib) + 40 + (depth <= 8 ? (1 << depth) * 4 : 0);
}

// 24-bit picture whose channels are given per top-down pixel.
void *Make24(int w, int h, const std::function<void(int, int, uint8_t *)> &fill) {
  void *dib = MakeDib(w, h, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) fill(x, y, const_cast<uint8_t *>(Bgr(PixelsOf(dib), w, h, x, y)));
  return dib;
}

const uint8_t *At(void *dib, int x, int y) {
  return Bgr(PixelsOf(dib), Hdr(dib)->biWidth, Hdr(dib)->biHeight, x, y);
}

// Stored (bottom-up) access, as the resampling formulas are written.
const uint8_t *Stored(void *dib, int x, int row) {
  int w = Hdr(dib)->biWidth;
  return PixelsOf(dib) + static_cast<size_t>(row) * Stride(w, 24) + x * 3;
}

RECT Size(int w, int h) { return RECT{0, 0, w, h}; }

}  // namespace

TEST(DibScale, SameSizeIsAnIdenticalCopy) {
  void *src = Make24(100, 100, [](int x, int y, uint8_t *p) { p[0] = x; p[1] = y; p[2] = x ^ y; });
  RECT t = Size(100, 100);
  void *out = DibScale(src, &t, 1, 0);
  ASSERT_NE(out, nullptr);
  ASSERT_EQ(MemSize(out), MemSize(src));
  EXPECT_EQ(Hdr(out)->biSizeImage, 300u * 100);  // the pixel byte count is filled in
  EXPECT_EQ(memcmp(Bytes(out) + 40, Bytes(src) + 40, MemSize(src) - 40), 0);
  MemFree(&out);
  MemFree(&src);
}

TEST(DibScale, NullAndEmptyTargets) {
  void *src = MakeDib(4, 4, 24);
  RECT empty = Size(0, 4);
  EXPECT_EQ(DibScale(src, &empty, 1, 0), nullptr);
  EXPECT_EQ(DibScaleSmooth(src, &empty, 1, 0), nullptr);
  RECT t = Size(2, 2);
  EXPECT_EQ(DibScale(nullptr, &t, 1, 0), nullptr);
  EXPECT_EQ(DibScaleSmooth(nullptr, &t, 1, 0), nullptr);
  // A block too small for its header's rows is refused, not read.
  void *cut = MemAlloc(40 + 10);
  memcpy(cut, src, 40);
  EXPECT_EQ(DibScale(cut, &t, 1, 0), nullptr);
  MemFree(&cut);
  MemFree(&src);
}

TEST(DibScale, FortyToTenAveragesFourByFourBlocks) {
  void *src = Make24(40, 40, [](int x, int y, uint8_t *p) {
    p[0] = static_cast<uint8_t>((x * 37 + y * 11) % 256);
    p[1] = static_cast<uint8_t>((x * y) % 256);
    p[2] = static_cast<uint8_t>(x < 20 ? 255 : 0);
  });
  RECT t = Size(10, 10);
  void *out = DibScale(src, &t, 1, 0);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(Hdr(out)->biWidth, 10);
  EXPECT_EQ(Hdr(out)->biSizeImage, 32u * 10);
  for (int row = 0; row < 10; ++row)
    for (int x = 0; x < 10; ++x)
      for (int c = 0; c < 3; ++c) {
        int sum = 0;
        for (int j = 0; j < 4; ++j)
          for (int i = 0; i < 4; ++i) sum += Stored(src, x * 4 + i, row * 4 + j)[c];
        ASSERT_EQ(Stored(out, x, row)[c], sum / 16) << x << "," << row << "," << c;
      }
  MemFree(&out);
  MemFree(&src);
}

TEST(DibScale, UnevenReductionAveragesTheBlockAtEachStart) {
  // 7 x 5 -> 3 x 2: kx = 2, ky = 2; blocks start at x * 7 / 3 and y * 5 / 2.
  void *src = Make24(7, 5, [](int x, int y, uint8_t *p) { p[0] = p[1] = p[2] = static_cast<uint8_t>(x * 30 + y * 7); });
  RECT t = Size(3, 2);
  void *out = DibScale(src, &t, 1, 0);
  ASSERT_NE(out, nullptr);
  for (int row = 0; row < 2; ++row)
    for (int x = 0; x < 3; ++x) {
      int sx = x * 7 / 3, sy = row * 5 / 2, sum = 0;
      for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 2; ++i) sum += Stored(src, sx + i, sy + j)[0];
      EXPECT_EQ(Stored(out, x, row)[0], sum / 4);
    }
  MemFree(&out);
  MemFree(&src);
}

TEST(DibScale, InterpolationOnAHandMadeRow) {
  // Two pixels, black and white, to four: positions 0, 0.5, 1, 1.5.
  void *src = Make24(2, 1, [](int x, int, uint8_t *p) { p[0] = p[1] = p[2] = x ? 255 : 0; });
  RECT t = Size(4, 1);
  void *out = DibScale(src, &t, 1, 0);
  ASSERT_NE(out, nullptr);
  // x=1: anchor white (fraction 128), neighbour black at distance 128:
  // 255 + ((0 - 255) * 128 + 128) / 256 = 255 - 127 = 128.
  const int expect[4] = {0, 128, 255, 255};
  for (int x = 0; x < 4; ++x) EXPECT_EQ(Stored(out, x, 0)[0], expect[x]) << x;
  MemFree(&out);
  MemFree(&src);
}

// The interpolation written out from its description, per channel.
static int Expected3Point(void *src, int sw, int sh, int tw, int th, int x, int y, int c) {
  long X = static_cast<long>(x) * sw * 256 / tw, Y = static_cast<long>(y) * sh * 256 / th;
  int x0 = static_cast<int>(X >> 8), fx = static_cast<int>(X & 255);
  int y0 = static_cast<int>(Y >> 8), fy = static_cast<int>(Y & 255);
  int ax = fx >= 128 ? x0 + 1 : x0, ay = fy >= 128 ? y0 + 1 : y0;
  if (ax > sw - 1) ax = x0;
  if (ay > sh - 1) ay = y0;
  int hx = ax == x0 ? x0 + 1 : x0, vy = ay == y0 ? y0 + 1 : y0;
  int dx = ax == x0 ? fx : 256 - fx, dy = ay == y0 ? fy : 256 - fy;
  if (hx > sw - 1) hx = ax;
  if (vy > sh - 1) vy = ay;
  int A = Stored(src, ax, ay)[c], H = Stored(src, hx, ay)[c], V = Stored(src, ax, vy)[c];
  return A + ((V - A) * dy + (H - A) * dx + 128) / 256;
}

TEST(DibScale, ThirtyToTwentyInterpolates) {
  void *src = Make24(30, 30, [](int x, int y, uint8_t *p) {
    p[0] = static_cast<uint8_t>(x * 8);
    p[1] = static_cast<uint8_t>(255 - y * 8);
    p[2] = static_cast<uint8_t>((x * y * 13) % 256);
  });
  for (RECT t : {Size(20, 20), Size(45, 31), Size(31, 17), Size(90, 7)}) {
    void *out = DibScale(src, &t, 1, 0);
    ASSERT_NE(out, nullptr);
    for (int row = 0; row < t.bottom; ++row)
      for (int x = 0; x < t.right; ++x)
        for (int c = 0; c < 3; ++c)
          ASSERT_EQ(Stored(out, x, row)[c], Expected3Point(src, 30, 30, t.right, t.bottom, x, row, c))
              << t.right << "x" << t.bottom << " at " << x << "," << row << " channel " << c;
    MemFree(&out);
  }
  MemFree(&src);
}

TEST(DibScale, EightBitComesBackAs24Bit) {
  void *src = MakeDib(6, 4, 8);  // table entry i has green i
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) SetPixel(PixelsOf(src), 6, 4, 8, x, y, static_cast<uint32_t>(x * 10));
  RECT t = Size(3, 2);
  void *out = DibScale(src, &t, 1, 0);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(Hdr(out)->biBitCount, 24);
  EXPECT_EQ(MemSize(out), 40u + Stride(3, 24) * 2);
  // Box average of 2 x 2 blocks of green x * 10.
  for (int x = 0; x < 3; ++x) EXPECT_EQ(At(out, x, 0)[1], (x * 2 * 10 + (x * 2 + 1) * 10) / 2);
  MemFree(&out);
  MemFree(&src);
}

TEST(DibScale, NearestSampleAtOwnDepth) {
  for (int depth : {1, 4, 8, 16, 32}) {
    SCOPED_TRACE(depth);
    const int sw = 11, sh = 5, tw = 17, th = 3;
    uint32_t mask = depth >= 32 ? 0xFFFFFFFFu : (1u << depth) - 1;
    void *src = MakeDib(sw, sh, depth);
    for (int y = 0; y < sh; ++y)
      for (int x = 0; x < sw; ++x) SetPixel(PixelsOf(src), sw, sh, depth, x, y, (x * 5 + y * 3 + 1) & mask);
    void *out = DibScaleNearest(src, tw, th);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(Hdr(out)->biBitCount, depth);
    // Stored rows: target row r takes source row r * sh / th.
    for (int r = 0; r < th; ++r)
      for (int x = 0; x < tw; ++x) {
        int sr = r * sh / th, sx = x * sw / tw;
        ASSERT_EQ(Pixel(PixelsOf(out), tw, th, depth, x, th - 1 - r), Pixel(PixelsOf(src), sw, sh, depth, sx, sh - 1 - sr));
      }
    MemFree(&out);
    MemFree(&src);
  }
}

TEST(DibScaleSmooth, StepSequenceForLargeEnlargements) {
  SIZE steps[64];
  int n = DibScaleSteps(20, 20, 200, 200, steps, 64);
  const int expect[] = {30, 45, 67, 100, 150, 200};
  ASSERT_EQ(n, 6);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(steps[i].cx, expect[i]);
    EXPECT_EQ(steps[i].cy, expect[i]);
  }
  // Not larger than 10 pixels: one step.
  n = DibScaleSteps(10, 10, 200, 200, steps, 64);
  ASSERT_EQ(n, 1);
  EXPECT_EQ(steps[0].cx, 200);
  // Not more than 2.5 times in both directions: one step.
  EXPECT_EQ(DibScaleSteps(100, 100, 250, 1000, steps, 64), 1);
  // Aspect differs: start from the target divided by the larger factor.
  n = DibScaleSteps(40, 20, 400, 120, steps, 64);  // g = 10, start 40 x 12
  ASSERT_GE(n, 2);
  EXPECT_EQ(steps[0].cx, 60);
  EXPECT_EQ(steps[0].cy, 18);
  EXPECT_EQ(steps[n - 1].cx, 400);
  EXPECT_EQ(steps[n - 1].cy, 120);
}

TEST(DibScaleSmooth, NarrowSideNeverBecomesEmpty) {
  SIZE steps[64];
  int n = DibScaleSteps(11, 11, 10000, 28, steps, 64);
  ASSERT_GE(n, 2);
  for (int i = 0; i < n; ++i) {
    EXPECT_GE(steps[i].cx, 1);
    EXPECT_GE(steps[i].cy, 1);
  }
}

TEST(DibScaleSmooth, EqualsTheChainOfSingleSteps) {
  void *src = Make24(20, 20, [](int x, int y, uint8_t *p) { p[0] = x * 12; p[1] = y * 12; p[2] = (x + y) * 6; });
  RECT t = Size(200, 200);
  void *smooth = DibScaleSmooth(src, &t, 1, 0);
  ASSERT_NE(smooth, nullptr);
  void *chain = MemDup(src);
  for (int s : {30, 45, 67, 100, 150, 200}) {
    RECT r = Size(s, s);
    void *next = DibScale(chain, &r, 1, 0);
    MemFree(&chain);
    chain = next;
  }
  ASSERT_EQ(MemSize(chain), MemSize(smooth));
  EXPECT_EQ(memcmp(chain, smooth, MemSize(chain)), 0);
  // The same size gives a copy.
  RECT same = Size(20, 20);
  void *copy = DibScaleSmooth(src, &same, 1, 0);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(memcmp(copy, src, MemSize(src)), 0);
  MemFree(&copy);
  MemFree(&chain);
  MemFree(&smooth);
  MemFree(&src);
}

TEST(FitRect, Cases) {
  RECT r = Size(400, 300);
  EXPECT_NE(FitRect(&r, 160, 120, 0), 0);
  EXPECT_EQ(r.right, 160);
  EXPECT_EQ(r.bottom, 120);
  r = Size(300, 400);
  FitRect(&r, 160, 120, 0);
  EXPECT_EQ(r.right, 90);
  EXPECT_EQ(r.bottom, 120);
  r = Size(100, 50);
  FitRect(&r, 160, 120, 0);
  EXPECT_EQ(r.right, 100);
  EXPECT_EQ(r.bottom, 50);
  FitRect(&r, 160, 120, 1);
  EXPECT_EQ(r.right, 160);
  EXPECT_EQ(r.bottom, 80);
  r = Size(1000, 1);  // a side that would come out 0 becomes 1
  FitRect(&r, 100, 100, 0);
  EXPECT_EQ(r.right, 100);
  EXPECT_EQ(r.bottom, 1);
  r = Size(0, 50);
  EXPECT_EQ(FitRect(&r, 10, 10, 1), 0);
  EXPECT_EQ(r.bottom, 50);
}

TEST(DibThumbnail, FitsAndScales) {
  void *src = MakeDib(400, 300, 24);
  void *thumb = DibThumbnail(src, 160, 160, 0, 1, 0);
  ASSERT_NE(thumb, nullptr);
  EXPECT_EQ(Hdr(thumb)->biWidth, 160);
  EXPECT_EQ(Hdr(thumb)->biHeight, 120);
  MemFree(&thumb);
  MemFree(&src);
}

TEST(DibBlend, OpacityFormulaAndClamp) {
  void *black = MakeDib(4, 4, 24);
  void *white = Make24(4, 4, [](int, int, uint8_t *p) { p[0] = p[1] = p[2] = 255; });
  RECT all = Size(4, 4);
  void *half = DibBlend(black, &all, white, 50, static_cast<COLORREF>(-1));
  ASSERT_NE(half, nullptr);
  for (int c = 0; c < 3; ++c) EXPECT_EQ(At(half, 2, 2)[c], 127);
  void *over = DibBlend(black, &all, white, 150, static_cast<COLORREF>(-1));
  EXPECT_EQ(At(over, 0, 0)[0], 255);
  void *under = DibBlend(white, &all, black, -20, static_cast<COLORREF>(-1));
  EXPECT_EQ(At(under, 0, 0)[0], 255);
  // Mixed values: (a * overlay + (100 - a) * base) / 100, truncated.
  void *a = Make24(4, 4, [](int x, int y, uint8_t *p) { p[0] = 10 * x; p[1] = 200; p[2] = 7 * y; });
  void *b = Make24(4, 4, [](int x, int y, uint8_t *p) { p[0] = 250 - x; p[1] = 3; p[2] = 99; });
  void *mix = DibBlend(a, &all, b, 37, static_cast<COLORREF>(-1));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) {
      EXPECT_EQ(At(mix, x, y)[0], (37 * (250 - x) + 63 * (10 * x)) / 100);
      EXPECT_EQ(At(mix, x, y)[1], (37 * 3 + 63 * 200) / 100);
      EXPECT_EQ(At(mix, x, y)[2], (37 * 99 + 63 * (7 * y)) / 100);
    }
  for (void *p : {half, over, under, a, b, mix, black, white}) MemFree(&p);
}

TEST(DibBlend, KeyColourAndPlacement) {
  void *base = Make24(6, 5, [](int, int, uint8_t *p) { p[0] = 1; p[1] = 2; p[2] = 3; });
  // Overlay 2 x 2: top-left pure magenta (the key), others green.
  void *ov = Make24(2, 2, [](int x, int y, uint8_t *p) {
    bool key = x == 0 && y == 0;
    p[0] = key ? 255 : 0;
    p[1] = key ? 0 : 255;
    p[2] = key ? 255 : 0;
  });
  RECT at = {3, 1, 5, 3};
  void *out = DibBlend(base, &at, ov, 100, RGB(255, 0, 255));
  ASSERT_NE(out, nullptr);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x) {
      bool covered = x >= 3 && x < 5 && y >= 1 && y < 3 && !(x == 3 && y == 1);
      EXPECT_EQ(At(out, x, y)[1], covered ? 255 : 2) << x << "," << y;
    }
  // The base itself is untouched.
  EXPECT_EQ(At(base, 4, 2)[1], 2);
  // An overlay rectangle reaching past the base is cut at its edge.
  RECT past = {5, 4, 7, 6};
  void *edge = DibBlend(base, &past, ov, 100, static_cast<COLORREF>(-1));
  ASSERT_NE(edge, nullptr);
  EXPECT_EQ(At(edge, 5, 4)[2], 255);  // overlay's top-left (magenta, not keyed)
  MemFree(&edge);
  RECT empty = {0, 0, 0, 3};
  EXPECT_EQ(DibBlend(base, &empty, ov, 50, 0), nullptr);
  EXPECT_EQ(DibBlend(nullptr, &at, ov, 50, 0), nullptr);
  MemFree(&out);
  MemFree(&ov);
  MemFree(&base);
}

TEST(DibBurn, DarkensByTheTile) {
  void *dst = Make24(3, 2, [](int x, int, uint8_t *p) { p[0] = 200; p[1] = 100; p[2] = static_cast<uint8_t>(250 - x); });
  void *tile = Make24(3, 2, [](int, int y, uint8_t *p) { p[0] = p[1] = 100; p[2] = static_cast<uint8_t>(y ? 255 : 180); });
  ASSERT_EQ(DibBurn(dst, tile), 1);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      EXPECT_EQ(At(dst, x, y)[0], 45);
      EXPECT_EQ(At(dst, x, y)[1], 0);
      int r = (250 - x) + (y ? 255 : 180) - 255;
      EXPECT_EQ(At(dst, x, y)[2], r < 0 ? 0 : r);
    }
  void *small = MakeDib(2, 2, 24);
  EXPECT_EQ(DibBurn(dst, small), 0);  // a tile of another size is not read
  EXPECT_EQ(DibBurn(nullptr, tile), 0);
  MemFree(&small);
  MemFree(&tile);
  MemFree(&dst);
}

// ---- orientation ------------------------------------------------------------

struct OrientCase {
  const char *name;
  void *(*op)(const void *);
  bool turn;
  // Source pixel for target (x, y) with source size W x H.
  void (*from)(int x, int y, int W, int H, int *sx, int *sy);
};

static const OrientCase ORIENT_CASES[] = {
    {"Rotate90", DibRotate90, true, [](int x, int y, int, int H, int *sx, int *sy) { *sx = y; *sy = H - 1 - x; }},
    {"Rotate180", DibRotate180, false, [](int x, int y, int W, int H, int *sx, int *sy) { *sx = W - 1 - x; *sy = H - 1 - y; }},
    {"Rotate270", DibRotate270, true, [](int x, int y, int W, int, int *sx, int *sy) { *sx = W - 1 - y; *sy = x; }},
    {"FlipVertical", DibFlipVertical, false, [](int x, int y, int, int H, int *sx, int *sy) { *sx = x; *sy = H - 1 - y; }},
    {"FlipHorizontal", DibFlipHorizontal, false, [](int x, int y, int W, int, int *sx, int *sy) { *sx = W - 1 - x; *sy = y; }},
};

TEST(DibOrientation, EveryOperationAtEveryDepth) {
  for (int depth : {1, 4, 8, 16, 24, 32}) {
    for (int W : {3, 11, 17}) {
      const int H = W == 3 ? 2 : 5;
      uint32_t mask = depth >= 32 ? 0xFFFFFFFFu : (1u << depth) - 1;
      void *src = MakeDib(W, H, depth);
      for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
          SetPixel(PixelsOf(src), W, H, depth, x, y, (static_cast<uint32_t>(x * 131 + y * 71 + 3) * 2654435761u) & mask);
      for (const OrientCase &c : ORIENT_CASES) {
        SCOPED_TRACE(::testing::Message() << c.name << " depth " << depth << " " << W << "x" << H);
        void *out = c.op(src);
        ASSERT_NE(out, nullptr);
        int w = c.turn ? H : W, h = c.turn ? W : H;
        EXPECT_EQ(Hdr(out)->biWidth, w);
        EXPECT_EQ(Hdr(out)->biHeight, h);
        EXPECT_EQ(Hdr(out)->biBitCount, depth);
        int n = depth <= 8 ? 1 << depth : 0;
        ASSERT_EQ(MemSize(out), 40u + n * 4 + Stride(w, depth) * h);
        EXPECT_EQ(memcmp(Bytes(out) + 40, Bytes(src) + 40, n * 4), 0);  // table copied
        for (int y = 0; y < h; ++y)
          for (int x = 0; x < w; ++x) {
            int sx, sy;
            c.from(x, y, W, H, &sx, &sy);
            ASSERT_EQ(Pixel(PixelsOf(out), w, h, depth, x, y), Pixel(PixelsOf(src), W, H, depth, sx, sy))
                << "at " << x << "," << y;
          }
        MemFree(&out);
      }
      MemFree(&src);
    }
  }
}

TEST(DibOrientation, QuarterTurnOfThreeByTwo) {
  void *src = Make24(3, 2, [](int x, int y, uint8_t *p) { p[0] = static_cast<uint8_t>(x + 10 * y); p[1] = p[2] = 0; });
  static_cast<BITMAPINFOHEADER *>(src)->biSizeImage = 1234;
  void *out = DibRotate90(src);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(Hdr(out)->biWidth, 2);
  EXPECT_EQ(Hdr(out)->biHeight, 3);
  EXPECT_EQ(At(out, 0, 0)[0], At(src, 0, 1)[0]);  // the source's bottom-left
  EXPECT_EQ(Hdr(out)->biSizeImage, 1234u);        // kept from the source
  EXPECT_EQ(DibRotate90(nullptr), nullptr);
  MemFree(&out);
  MemFree(&src);
}
