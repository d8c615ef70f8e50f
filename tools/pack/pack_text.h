// Text conversion for the authoring tool: the manifest is UTF-8, the show
// file holds CP932. iconv natively, the Windows code-page functions on Windows.
#pragma once

#include <string>

// 1 when every character of utf8 has a CP932 form; out receives it.
int Utf8ToCp932(const std::string &utf8, std::string *out);
// CP932 to UTF-8 for printing; bytes that do not convert become '?'.
std::string Cp932ToUtf8(const std::string &cp932);
// A file name as the system gives it (UTF-8 natively, the ANSI code page on
// Windows) in CP932, each character CP932 has no form for replaced by '?'.
std::string NameToCp932(const std::string &name);
