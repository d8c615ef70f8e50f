// Hand-made show streams for the tests: every byte placed by the test itself
// at the offsets of the format, independently of the writer.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

struct Bytes {
  std::vector<unsigned char> data;
  void Int(int32_t v) {
    uint32_t u = uint32_t(v);
    for (int i = 0; i < 4; ++i) data.push_back(uint8_t(u >> (8 * i)));
  }
  void Raw(const std::string &s) { data.insert(data.end(), s.begin(), s.end()); }
  void Zeros(size_t n) { data.insert(data.end(), n, 0); }
  void Fixed(const std::string &s, size_t n) {
    Raw(s.substr(0, n));
    if (s.size() < n) Zeros(n - s.size());
  }
  size_t size() const { return data.size(); }
  // Overwrites an int32 at an absolute offset.
  void SetInt(size_t at, int32_t v) {
    for (int i = 0; i < 4; ++i) data[at + i] = uint8_t(uint32_t(v) >> (8 * i));
  }
  void SetDouble(size_t at, double d) {
    uint64_t u;
    memcpy(&u, &d, 8);
    for (int i = 0; i < 8; ++i) data[at + i] = uint8_t(u >> (8 * i));
  }
};

inline void Header(Bytes &b, const char *magic, int32_t pages, unsigned char grid = 0) {
  b.Raw(std::string(magic, 13));
  b.Zeros(3);
  b.Int(pages);
  b.Zeros(47);
  b.data.push_back(grid);
  b.Zeros(63);
  b.Zeros(1);
}

// Saver prefix with the given link texts, no music, an empty password.
inline void SaverPrefix(Bytes &b, const std::string &link = "", const std::string &caption = "", int32_t a = 0,
                        int32_t c = 0) {
  b.Int(0);
  b.Int(a);
  b.Int(int32_t(link.size()));
  b.Raw(link);
  b.Int(int32_t(caption.size()));
  b.Raw(caption);
  b.Int(c);
}

inline void EmptySlots(Bytes &b, int n) {
  for (int i = 0; i < n; ++i) b.Int(0);
}

inline void MusicSlot(Bytes &b, const std::string &extension, const std::string &contents) {
  b.Int(1);
  b.Fixed(extension, 32);
  b.Int(int32_t(contents.size()));
  b.Raw(contents);
}

// A password block whose text is password (no random filler needed to read it).
inline void Password(Bytes &b, const std::string &password) {
  size_t start = b.size();
  b.Zeros(512);
  for (size_t k = 0; k < 128; ++k) {
    unsigned char c = k < password.size() ? uint8_t(password[k]) : 0;
    b.data[start + 508 - 4 * k] = uint8_t(~c);
  }
}

struct PageSpec {
  int32_t pictures = 0, texts = 0, sounds = 0;
  int32_t colour = 0, transition = 0, wait = 0, pluginSize = 0, time = 10000, flag = 1, preview = 0;
};

inline void PageRecordBytes(Bytes &b, int32_t index, const PageSpec &p) {
  size_t start = b.size();
  b.Zeros(256);
  b.SetInt(start + 0, index);
  b.SetInt(start + 4, p.preview);
  b.SetInt(start + 8, p.pictures);
  b.SetInt(start + 12, p.texts);
  b.SetInt(start + 16, p.sounds);
  b.SetInt(start + 20, p.colour);
  b.SetInt(start + 24, p.transition);
  b.SetInt(start + 28, p.wait);
  for (int i = 0; i < 80; ++i) b.data[start + 32 + i] = uint8_t(i + 1);
  b.SetInt(start + 112, p.pluginSize);
  b.SetInt(start + 116, p.time);
  b.SetInt(start + 120, p.flag);
}

inline void PictureRecordBytes(Bytes &b, int32_t size, const std::string &path, double l = 0.1, double t = 0.2,
                               double r = 0.6, double bottom = 0.7, int32_t orientation = 0, int32_t shadow = 0) {
  size_t start = b.size();
  b.Zeros(392);
  b.SetInt(start, size);
  b.SetDouble(start + 8, l);
  b.SetDouble(start + 16, t);
  b.SetDouble(start + 24, r);
  b.SetDouble(start + 32, bottom);
  memcpy(&b.data[start + 40], path.data(), path.size() < 259 ? path.size() : 259);
  b.SetInt(start + 300, orientation);
  b.SetInt(start + 304, shadow);
}

inline void TextRecordBytes(Bytes &b, int32_t length, int32_t colour = 0xFFFFFF, int32_t fade = 0) {
  size_t start = b.size();
  b.Zeros(168);
  b.SetInt(start, length);
  b.SetDouble(start + 8, 0.25);
  b.SetDouble(start + 16, 0.5);
  b.SetInt(start + 44, 0x12345678);  // a stale handle: must not survive loading
  b.SetInt(start + 48, 24);          // font height
  b.SetInt(start + 64, 700);         // weight
  b.SetInt(start + 108, colour);
  b.SetInt(start + 112, fade);
}

inline void SoundRecordBytes(Bytes &b, int32_t size, const std::string &path) {
  size_t start = b.size();
  b.Zeros(320);
  b.SetInt(start, size);
  memcpy(&b.data[start + 4], path.data(), path.size() < 259 ? path.size() : 259);
}
