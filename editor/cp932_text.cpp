#include "editor/cp932_text.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace {
// One character (a surrogate pair counts as one) from position i.
size_t CharLength(const std::u16string &text, size_t i) {
  char16_t c = text[i];
  return (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) ? 2 : 1;
}

#ifdef _WIN32
bool EncodeOne(const char16_t *c, size_t n, std::string *out) {
  char bytes[8];
  BOOL usedDefault = FALSE;
  int got = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, reinterpret_cast<const wchar_t *>(c), int(n), bytes,
                                sizeof bytes, nullptr, &usedDefault);
  if (got <= 0 || usedDefault) return false;
  out->append(bytes, size_t(got));
  return true;
}
#else
bool EncodeOne(const char16_t *c, size_t n, std::string *out) {
  iconv_t cd = iconv_open("CP932", "UTF-16LE");
  if (cd == iconv_t(-1)) return false;
  char in[4];
  for (size_t k = 0; k < n; ++k) in[2 * k] = char(c[k] & 0xFF), in[2 * k + 1] = char(c[k] >> 8);
  char bytes[8];
  char *ip = in, *op = bytes;
  size_t il = 2 * n, ol = sizeof bytes;
  size_t r = iconv(cd, &ip, &il, &op, &ol);
  iconv_close(cd);
  if (r == size_t(-1) || il != 0 || r != 0) return false;
  out->append(bytes, size_t(op - bytes));
  return true;
}
#endif
}  // namespace

int ToCp932(const std::u16string &text, std::string *out, std::u16string *refused) {
  out->clear();
  if (refused) refused->clear();
  int ok = 1;
  for (size_t i = 0; i < text.size();) {
    size_t n = CharLength(text, i);
    // A NUL would end the stored text early; it counts as having no form.
    if (text[i] == 0 || !EncodeOne(&text[i], n, out)) {
      ok = 0;
      std::u16string c = text.substr(i, n);
      if (refused && refused->find(c) == std::u16string::npos) refused->append(c);
    }
    i += n;
  }
  if (!ok) out->clear();
  return ok;
}

std::u16string FromCp932(const std::string &text) {
  std::u16string out;
  if (text.empty()) return out;
#ifdef _WIN32
  int n = MultiByteToWideChar(932, 0, text.data(), int(text.size()), nullptr, 0);
  if (n > 0) {
    out.resize(size_t(n));
    MultiByteToWideChar(932, 0, text.data(), int(text.size()), reinterpret_cast<wchar_t *>(&out[0]), n);
  }
#else
  iconv_t cd = iconv_open("UTF-16LE", "CP932");
  if (cd == iconv_t(-1)) return out;
  size_t i = 0;
  while (i < text.size()) {
    // Two bytes for a lead byte, else one; a sequence that fails becomes U+FFFD.
    size_t n = IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    char in[2] = {text[i], n == 2 ? text[i + 1] : '\0'};
    char bytes[8];
    char *ip = in, *op = bytes;
    size_t il = n, ol = sizeof bytes;
    if (iconv(cd, &ip, &il, &op, &ol) == size_t(-1) || il != 0) {
      out.push_back(u'\xFFFD');
    } else {
      for (char *p = bytes; p + 1 < op; p += 2)
        out.push_back(char16_t(static_cast<unsigned char>(p[0]) | static_cast<unsigned char>(p[1]) << 8));
    }
    i += n;
  }
  iconv_close(cd);
#endif
  return out;
}

StoredPathKind StorePicturePath(const std::u16string &path, const PathStoreHooks *hooks, std::string *out) {
  out->clear();
  auto fits = [&](const std::u16string &p) { return !p.empty() && ToCp932(p, out, nullptr) && out->size() < PATH_SIZE; };
  if (fits(path)) return STORED_AS_IS;
  if (hooks && hooks->shortName && fits(hooks->shortName(hooks->context, path))) return STORED_SHORT_NAME;
  if (hooks && hooks->copyFile && fits(hooks->copyFile(hooks->context, path))) return STORED_COPY;
  out->clear();
  return STORED_NONE;
}
