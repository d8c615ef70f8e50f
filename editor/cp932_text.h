// The editor is Unicode; the show stores text and paths in code page 932.
// This is the one place where the two meet: a conversion that tells which
// characters have no CP932 form (never turning them into '?'), and the rule
// for a picture path that cannot be stored as it is. Portable: iconv
// natively, the system's code-page functions on Windows.
#pragma once

#include <cstddef>
#include <string>

#include "shell/base/path_ops.h"

// 1 when every character of text (UTF-16) has a CP932 form; out receives the
// CP932 bytes. 0 otherwise: refused receives each character without one,
// once, in the order they first occur.
int ToCp932(const std::u16string &text, std::string *out, std::u16string *refused);
// CP932 bytes back to UTF-16; a byte sequence without a character becomes
// U+FFFD.
std::u16string FromCp932(const std::string &text);

// How a picture's path was stored.
enum StoredPathKind {
  STORED_AS_IS,       // the path itself
  STORED_SHORT_NAME,  // the system's short form of it
  STORED_COPY,        // a copy of the file, whose path can be stored
  STORED_NONE,        // nothing would do
};

// What the rule needs from the system, so that it can be tested anywhere.
struct PathStoreHooks {
  void *context;
  // The short form of path, or "" when the system has none.
  std::u16string (*shortName)(void *context, const std::u16string &path);
  // Copies the file somewhere whose path can be stored and returns that
  // path, or "" when it cannot.
  std::u16string (*copyFile)(void *context, const std::u16string &path);
};

// The CP932 path (shorter than PATH_SIZE bytes) to store for the file at
// path: the path itself when it can be stored, else its short name, else a
// copy. out receives it (empty for STORED_NONE).
StoredPathKind StorePicturePath(const std::u16string &path, const PathStoreHooks *hooks, std::string *out);
