// Path text operations. Paths are byte strings in the ANSI code page, which
// may be Japanese (CP932): every scan steps over a double-byte character as a
// whole, so a trail byte equal to '\' or '.' (as in "表" = 0x95 0x5C) is never
// taken for a separator. Paths live in fixed buffers of PATH_SIZE bytes; an
// operation whose result would not fit fails and leaves its buffer unchanged.
#pragma once

#include <cstddef>

constexpr size_t PATH_SIZE = 260;

// The platform's lead-byte test: IsDBCSLeadByte on Windows, the CP932 ranges natively.
bool IsLeadByte(unsigned char c);

// Pointer to the next character of a DBCS string (never past its NUL).
const char *NextChar(const char *p);

const char *FileNamePart(const char *path);
const char *ExtensionPart(const char *path);      // null for a null or empty path
int SetExtension(char *path, const char *extension);  // path is a PATH_SIZE buffer
int JoinPath(char *path, const char *name);           // path is a PATH_SIZE buffer

// True when the path ends in a '\' that is not the trail byte of a double-byte character.
bool EndsWithBackslash(const char *path);

// Case-insensitive (ASCII letters only) comparison of the first n bytes, DBCS aware.
bool PathPrefixEquals(const char *path, const char *prefix);

enum PathDirection { PATH_EXPAND, PATH_CONTRACT };
// Stored paths beginning with '@' are relative to the program folder.
// Expand: "@rest" -> programFolder + rest. Contract: a path longer than the
// folder that begins with it (any case) -> "@" + rest. Else copied unchanged.
int ProgramRelativePath(char *out, const char *path, const char *programFolder, PathDirection direction);

// Copies at most PATH_SIZE - 1 bytes; 0 when the text does not fit (out then empty).
int CopyPath(char *out, const char *text);
