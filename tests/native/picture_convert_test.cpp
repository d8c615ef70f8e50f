// Converting pictures to JPEG on the way into a saver file: hand-made BMP
// files go through the writer, the embedded JPEG is decoded here with libjpeg
// and compared with the pixels the test drew.
#include "show/picture_convert.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "shell/base/mem_block.h"
#include "show/show_stream.h"
#include "show/show_writer.h"
#include "tests/native/show_read_back.h"
#include "tests/support/temp_folder.h"

namespace {

std::vector<std::string> Entries(const std::string &folder) {
  std::vector<std::string> names;
  DIR *dir = opendir(folder.c_str());
  if (!dir) return names;
  while (dirent *e = readdir(dir))
    if (strcmp(e->d_name, ".") && strcmp(e->d_name, "..")) names.push_back(e->d_name);
  closedir(dir);
  return names;
}

struct Rgb {
  int r, g, b;
};
using Pattern = Rgb (*)(int x, int y);

// Smooth gradients: JPEG keeps them close at high quality.
Rgb Gradient(int x, int y) { return {x * 3, y * 3, 255 - x * 2 - y}; }  // x, y < 64

void Le(std::string &s, uint32_t v, int n) {
  for (int i = 0; i < n; ++i) s.push_back(i < 4 ? char(v >> (8 * i)) : char(0));
}

// A 24-bit bottom-up BMP file of w x h pixels drawn by the pattern (top-down).
std::string Bmp24(int w, int h, Pattern pattern) {
  int stride = (w * 3 + 3) & ~3;
  std::string s = "BM";
  Le(s, 54 + stride * h, 4);
  Le(s, 0, 4);
  Le(s, 54, 4);
  Le(s, 40, 4);
  Le(s, w, 4);
  Le(s, h, 4);
  Le(s, 1, 2);
  Le(s, 24, 2);
  Le(s, 0, 4);
  Le(s, stride * h, 4);
  Le(s, 0, 16);
  for (int row = 0; row < h; ++row) {
    int y = h - 1 - row;
    std::string line;
    for (int x = 0; x < w; ++x) {
      Rgb c = pattern(x, y);
      line.push_back(char(c.b));
      line.push_back(char(c.g));
      line.push_back(char(c.r));
    }
    line.resize(stride, 0);
    s += line;
  }
  return s;
}

// An 8-bit BMP whose palette entry i is (i, 255 - i, 64) and whose pixel
// (x, y) is index 8 * x + y.
std::string Bmp8(int w, int h) {
  int stride = (w + 3) & ~3;
  std::string s = "BM";
  Le(s, 54 + 1024 + stride * h, 4);
  Le(s, 0, 4);
  Le(s, 54 + 1024, 4);
  Le(s, 40, 4);
  Le(s, w, 4);
  Le(s, h, 4);
  Le(s, 1, 2);
  Le(s, 8, 2);
  Le(s, 0, 4);
  Le(s, stride * h, 4);
  Le(s, 0, 8);
  Le(s, 256, 4);
  Le(s, 0, 4);
  for (int i = 0; i < 256; ++i) {
    s.push_back(char(64));
    s.push_back(char(255 - i));
    s.push_back(char(i));
    s.push_back(0);
  }
  for (int row = 0; row < h; ++row) {
    int y = h - 1 - row;
    std::string line;
    for (int x = 0; x < w; ++x) line.push_back(char(8 * x + y));
    line.resize(stride, 0);
    s += line;
  }
  return s;
}
Rgb PaletteRamp(int x, int y) {
  int i = 8 * x + y;
  return {i, 255 - i, 64};
}

struct Decoded {
  int width = 0, height = 0, components = 0;
  std::vector<unsigned char> rgb;  // top-down
};

// libjpeg's own decoding of the embedded bytes (the test's reference).
Decoded DecodeJpeg(const std::string &bytes) {
  Decoded out;
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char *>(bytes.data()), (unsigned long)bytes.size());
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&cinfo);
  out.width = int(cinfo.output_width);
  out.height = int(cinfo.output_height);
  out.components = int(cinfo.output_components);
  out.rgb.resize(size_t(out.width) * out.height * 3);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = out.rgb.data() + size_t(cinfo.output_scanline) * out.width * 3;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return out;
}

struct Error {
  double mean = 0;
  int max = 0;
};
Error Compare(const Decoded &d, Pattern pattern) {
  Error e;
  long total = 0;
  for (int y = 0; y < d.height; ++y)
    for (int x = 0; x < d.width; ++x) {
      Rgb c = pattern(x, y);
      const unsigned char *p = &d.rgb[(size_t(y) * d.width + x) * 3];
      int diffs[3] = {std::abs(p[0] - c.r), std::abs(p[1] - c.g), std::abs(p[2] - c.b)};
      for (int v : diffs) {
        total += v;
        if (v > e.max) e.max = v;
      }
    }
  e.mean = double(total) / (3.0 * d.width * d.height);
  return e;
}

struct Packed {
  int ok = 0;
  char error[512] = {};
  std::string storedPath;  // as written, before the loader renames it
  std::string jpeg;
};

// A one-page saver show with the picture at picturePath, written with the
// quality, then read back; the embedded picture and its stored path.
Packed PackOne(const std::string &picturePath, int quality, const std::string &tempFolder) {
  Packed result;
  ShowDocument show = {};
  show.pages.pages = static_cast<Page *>(MemAlloc(0));
  EXPECT_EQ(EnsurePages(&show.pages, 1, 0), 1);
  Page &page = show.pages.pages[0];
  page.pictureCount = 1;
  page.pictures = static_cast<PictureRecord *>(MemRealloc(page.pictures, sizeof(PictureRecord)));
  strcpy(page.pictures[0].path, picturePath.c_str());
  page.pictures[0].placement[2] = page.pictures[0].placement[3] = 1;
  WriteOptions options = {SHOW_SAVER, quality, nullptr, tempFolder.c_str(), nullptr, 0, result.error,
                          sizeof result.error};
  ShowSink sink;
  MemorySink memory;
  OpenMemorySink(&sink, &memory);
  result.ok = WriteShow(&show, &options, &sink);
  FreeShow(&show);
  if (!result.ok) {
    MemFreePtr(memory.block);
    return result;
  }
  // Header 132, prefix 20 (no link), 20 empty music slots, password 512,
  // page record 256: the picture record, its path at offset 40.
  const size_t pathAt = 132 + 20 + 20 * 4 + 512 + 256 + 40;
  EXPECT_GT(memory.used, pathAt + 260);
  if (memory.used > pathAt + 260) result.storedPath = reinterpret_cast<const char *>(memory.block + pathAt);
  KeptFiles files;
  ShowDocument back;
  EXPECT_EQ(ReadShowBack(memory.block, memory.used, "X", &files, &back), PARSE_OK);
  if (back.pages.pageCount == 1 && back.pages.pages[0].pictureCount == 1) {
    EXPECT_EQ(back.pages.pages[0].pictures[0].size, int32_t(files["X\\i_0_0.TMP"].size()));
  }
  result.jpeg = files["X\\i_0_0.TMP"];
  FreeShow(&back);
  MemFreePtr(memory.block);
  return result;
}

bool EndsWith(const std::string &s, const std::string &tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

TEST(PictureConvert, BmpBecomesAJpegCloseToTheOriginal) {
  TempFolder dir;
  std::string temp = dir.Sub("temp");
  std::string bmp = dir.Put("gradient.bmp", Bmp24(48, 40, Gradient));
  Packed packed = PackOne(bmp, 0, temp);  // 0: the default quality, 100
  ASSERT_EQ(packed.ok, 1) << packed.error;
  // The record names the converted temp file, extension "TMP" included.
  std::string stored = packed.storedPath;
  EXPECT_EQ(stored.compare(0, temp.size() + 1, temp + "/"), 0) << stored;
  EXPECT_TRUE(EndsWith(stored, ".TMP")) << stored;
  ASSERT_TRUE(IsJpegData(reinterpret_cast<const unsigned char *>(packed.jpeg.data()), packed.jpeg.size()));
  Decoded d = DecodeJpeg(packed.jpeg);
  ASSERT_EQ(d.width, 48);
  ASSERT_EQ(d.height, 40);
  Error e = Compare(d, Gradient);
  EXPECT_LT(e.mean, 2.0);
  EXPECT_LE(e.max, 16);
  // The converted file was read into the show and removed.
  EXPECT_TRUE(Entries(temp).empty());
}

TEST(PictureConvert, PalettePictureKeepsItsColours) {
  TempFolder dir;
  std::string temp = dir.Sub("temp");
  Packed packed = PackOne(dir.Put("ramp.bmp", Bmp8(24, 8)), 100, temp);
  ASSERT_EQ(packed.ok, 1) << packed.error;
  Decoded d = DecodeJpeg(packed.jpeg);
  ASSERT_EQ(d.width, 24);
  ASSERT_EQ(d.height, 8);
  Error e = Compare(d, PaletteRamp);
  EXPECT_LT(e.mean, 3.0);
  EXPECT_TRUE(Entries(temp).empty());
}

TEST(PictureConvert, QualityIsRespected) {
  TempFolder dir;
  std::string temp = dir.Sub("temp");
  std::string bmp = dir.Put("gradient.bmp", Bmp24(64, 64, Gradient));
  Packed best = PackOne(bmp, 100, temp);
  Packed low = PackOne(bmp, 10, temp);
  ASSERT_EQ(best.ok, 1) << best.error;
  ASSERT_EQ(low.ok, 1) << low.error;
  EXPECT_LT(low.jpeg.size(), best.jpeg.size());
  Error eBest = Compare(DecodeJpeg(best.jpeg), Gradient);
  Error eLow = Compare(DecodeJpeg(low.jpeg), Gradient);
  EXPECT_GT(eLow.mean, eBest.mean);
  EXPECT_LT(eLow.mean, 20.0);  // still the same picture
  EXPECT_TRUE(Entries(temp).empty());
}

TEST(PictureConvert, BrokenPictureIsAClearError) {
  TempFolder dir;
  std::string temp = dir.Sub("temp");
  std::string good = Bmp24(8, 8, Gradient);
  const std::string cases[] = {
      "just some text",
      "BM",
      good.substr(0, 30),  // cut inside the info header
  };
  int n = 0;
  for (const std::string &bytes : cases) {
    std::string name = "broken" + std::to_string(n++) + ".bmp";
    Packed packed = PackOne(dir.Put(name, bytes), 100, temp);
    EXPECT_EQ(packed.ok, 0) << name;
    EXPECT_NE(strstr(packed.error, name.c_str()), nullptr) << packed.error;
    EXPECT_NE(strstr(packed.error, "JPEG"), nullptr) << packed.error;
    EXPECT_TRUE(Entries(temp).empty()) << name;
  }
}

TEST(PictureConvert, DirectCallNamesAFreshTmpFile) {
  TempFolder dir;
  std::string temp = dir.Sub("temp");
  std::string bmp = dir.Put("g.bmp", Bmp24(16, 16, Gradient));
  char first[260], second[260], error[256];
  ASSERT_EQ(ConvertPictureToJpeg(bmp.c_str(), 90, temp.c_str(), first, error, sizeof error), 1) << error;
  ASSERT_EQ(ConvertPictureToJpeg(bmp.c_str(), 90, temp.c_str(), second, error, sizeof error), 1) << error;
  EXPECT_STRNE(first, second);
  EXPECT_EQ(Entries(temp).size(), 2u);
  EXPECT_TRUE(EndsWith(first, ".TMP"));
  remove(first);
  remove(second);
  // A temp folder that does not exist: an error, no name.
  std::string nowhere = dir.path + "/no/such/folder";
  EXPECT_EQ(ConvertPictureToJpeg(bmp.c_str(), 90, nowhere.c_str(), first, error, sizeof error), 0);
  EXPECT_STREQ(first, "");
  EXPECT_NE(error[0], 0);
  // A missing picture.
  EXPECT_EQ(ConvertPictureToJpeg((dir.path + "/none.bmp").c_str(), 90, temp.c_str(), first, error, sizeof error), 0);
  EXPECT_NE(strstr(error, "none.bmp"), nullptr);
  EXPECT_TRUE(Entries(temp).empty());
}
