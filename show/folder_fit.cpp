#include "show/folder_fit.h"

#include <algorithm>

namespace {
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char Fold(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }
}  // namespace

bool NaturalLess(const std::string &a, const std::string &b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      size_t si = i, sj = j;
      while (si < a.size() && a[si] == '0') ++si;
      while (sj < b.size() && b[sj] == '0') ++sj;
      size_t ei = si, ej = sj;
      while (ei < a.size() && IsDigit(a[ei])) ++ei;
      while (ej < b.size() && IsDigit(b[ej])) ++ej;
      if (ei - si != ej - sj) return ei - si < ej - sj;
      int c = a.compare(si, ei - si, b, sj, ej - sj);
      if (c != 0) return c < 0;
      i = ei;
      j = ej;
      continue;
    }
    char x = Fold(a[i]), y = Fold(b[j]);
    if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    ++i;
    ++j;
  }
  if (i < a.size() || j < b.size()) return j < b.size() && i >= a.size();
  return a < b;
}

int32_t FitMargin(int32_t width, int32_t height) { return std::max<int32_t>(1, std::min(width, height) / 36); }

void FitPictureInBox(int32_t margin, int32_t boxWidth, int32_t boxHeight, int32_t pictureWidth, int32_t pictureHeight,
                     RECT *place) {
  const int64_t boxW = std::max<int32_t>(1, boxWidth), boxH = std::max<int32_t>(1, boxHeight);
  const int64_t pw = std::max<int32_t>(1, pictureWidth), ph = std::max<int32_t>(1, pictureHeight);
  int64_t w, h;
  if (pw * boxH >= ph * boxW) {  // as wide as the box
    w = boxW;
    h = std::max<int64_t>(1, (ph * boxW * 2 + pw) / (2 * pw));
  } else {  // as high as the box
    h = boxH;
    w = std::max<int64_t>(1, (pw * boxH * 2 + ph) / (2 * ph));
  }
  place->left = int32_t(margin + (boxW - w) / 2);
  place->top = int32_t(margin + (boxH - h) / 2);
  place->right = int32_t(place->left + w);
  place->bottom = int32_t(place->top + h);
}
