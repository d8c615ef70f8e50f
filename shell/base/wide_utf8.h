// A wide (UTF-16) text as UTF-8, for the Win32 programs' logs, messages and
// names that the portable code takes as UTF-8. Header-only, so that the
// set-up program needs no library for it.
#pragma once

#include <windows.h>

#include <string>

inline std::string WideToUtf8(const std::wstring &wide) {
  if (wide.empty()) return std::string();
  int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string out(size_t(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), &out[0], n, nullptr, nullptr);
  return out;
}
