// UTF-8 <-> CP932 for the authoring tool.
#include "tools/pack/pack_text.h"

#ifdef _WIN32
#include <windows.h>

#include <vector>

static std::wstring Widen(const std::string &text, UINT codePage, DWORD flags, bool *ok) {
  *ok = true;
  if (text.empty()) return std::wstring();
  int n = MultiByteToWideChar(codePage, flags, text.data(), int(text.size()), nullptr, 0);
  if (n <= 0) {
    *ok = false;
    return std::wstring();
  }
  std::wstring wide(size_t(n), L'\0');
  MultiByteToWideChar(codePage, flags, text.data(), int(text.size()), &wide[0], n);
  return wide;
}

int Utf8ToCp932(const std::string &utf8, std::string *out) {
  bool ok;
  std::wstring wide = Widen(utf8, CP_UTF8, MB_ERR_INVALID_CHARS, &ok);
  out->clear();
  if (!ok) return 0;
  if (wide.empty()) return 1;
  BOOL usedDefault = FALSE;
  int n = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(), int(wide.size()), nullptr, 0, nullptr,
                              &usedDefault);
  if (n <= 0 || usedDefault) return 0;
  out->resize(size_t(n));
  WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(), int(wide.size()), &(*out)[0], n, nullptr, &usedDefault);
  return !usedDefault;
}

std::string Cp932ToUtf8(const std::string &cp932) {
  bool ok;
  std::wstring wide = Widen(cp932, 932, 0, &ok);
  if (wide.empty()) return ok ? std::string() : std::string(cp932.size(), '?');
  int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(size_t(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), &out[0], n, nullptr, nullptr);
  return out;
}

std::string NameToCp932(const std::string &name) {
  bool ok;
  std::wstring wide = Widen(name, CP_ACP, 0, &ok);
  if (wide.empty()) return ok ? std::string() : std::string(name.size(), '?');
  int n = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(), int(wide.size()), nullptr, 0, "?", nullptr);
  std::string out(size_t(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(), int(wide.size()), &out[0], n, "?", nullptr);
  return out;
}
#else
#include <iconv.h>

#include <cerrno>

// Converts all of in; 0 at the first character the target cannot hold. With
// lenient set, such bytes are replaced by '?' instead.
static int Convert(const char *to, const char *from, const std::string &in, std::string *out, bool lenient) {
  out->clear();
  iconv_t cd = iconv_open(to, from);
  if (cd == iconv_t(-1)) return 0;
  std::string input = in;
  char *source = &input[0];
  size_t left = input.size();
  int ok = 1;
  while (left > 0) {
    char buffer[256];
    char *target = buffer;
    size_t room = sizeof buffer;
    size_t r = iconv(cd, &source, &left, &target, &room);
    out->append(buffer, size_t(target - buffer));
    if (r == size_t(-1) && errno != E2BIG) {
      if (!lenient) {
        ok = 0;
        break;
      }
      out->push_back('?');
      ++source;
      --left;
    }
  }
  iconv_close(cd);
  return ok;
}

int Utf8ToCp932(const std::string &utf8, std::string *out) { return Convert("CP932", "UTF-8", utf8, out, false); }

std::string Cp932ToUtf8(const std::string &cp932) {
  std::string out;
  Convert("UTF-8", "CP932", cp932, &out, true);
  return out;
}

// Character by character, so that one without a CP932 form costs one '?'.
std::string NameToCp932(const std::string &name) {
  std::string out, converted;
  for (size_t i = 0; i < name.size();) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    size_t length = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    if (Utf8ToCp932(name.substr(i, length), &converted)) out += converted;
    else out += '?';
    i += length;
  }
  return out;
}
#endif
