// A fresh, empty folder for one test, removed with everything in it at the
// end: below /tmp natively, in the system temp folder under Wine (named like
// the player's own temp names, without the ".TMP").
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include "shell/base/file_ops.h"
#include "shell/base/path_ops.h"
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

struct TempFolder {
#ifdef _WIN32
  static constexpr char kSeparator = '\\';
#else
  static constexpr char kSeparator = '/';
#endif
  std::string path;

  TempFolder() {
#ifdef _WIN32
    char name[PATH_SIZE];
    EXPECT_EQ(MakeUniqueTempName(nullptr, name), 0);
    path = name;
    path.resize(path.size() - 4);
    CreateDirectoryA(path.c_str(), nullptr);
#else
    char name[] = "/tmp/vk_test_XXXXXX";
    path = mkdtemp(name);
#endif
  }
  ~TempFolder() {
#ifdef _WIN32
    DeleteTree(path.c_str());
#else
    (void)!std::system(("rm -rf '" + path + "'").c_str());
#endif
  }
  TempFolder(const TempFolder &) = delete;
  TempFolder &operator=(const TempFolder &) = delete;

  // The path of name inside the folder.
  std::string File(const std::string &name) const { return path + kSeparator + name; }

  // Writes bytes to the file name inside the folder; returns its path.
  std::string Put(const std::string &name, const void *bytes, size_t size) const {
    std::string full = File(name);
    FILE *f = fopen(full.c_str(), "wb");
    if (f) {
      fwrite(bytes, 1, size, f);
      fclose(f);
    }
    return full;
  }
  std::string Put(const std::string &name, const std::string &bytes) const {
    return Put(name, bytes.data(), bytes.size());
  }
  std::string Put(const std::string &name, const std::vector<uint8_t> &bytes) const {
    return Put(name, bytes.data(), bytes.size());
  }

  // Creates the folder name inside the folder; returns its path.
  std::string Sub(const std::string &name) const {
    std::string full = File(name);
#ifdef _WIN32
    CreateDirectoryA(full.c_str(), nullptr);
#else
    mkdir(full.c_str(), 0700);
#endif
    return full;
  }
};
