// Files and folders for the authoring tool, natively and on Windows: whole
// reads, listing a folder, the tool's own folder, replacing a file by its
// finished side file, and noticing Ctrl+C.
#pragma once

#include <string>
#include <vector>

#ifdef _WIN32
constexpr char PATH_SEPARATOR = '\\';
#else
constexpr char PATH_SEPARATOR = '/';
#endif

// The whole file, or false.
bool ReadWhole(const std::string &path, std::vector<unsigned char> *bytes);
bool FileExists(const std::string &path);
bool IsFolder(const std::string &path);
bool IsAbsolutePath(const std::string &path);
// The folder part of a path with its trailing separator; empty for a bare name.
std::string FolderOf(const std::string &path);
// folder + name, with one separator between them.
std::string JoinFolder(const std::string &folder, const std::string &name);
// The names of the plain files in folder (no folders, no "." entries), in no
// particular order; false when the folder cannot be read.
bool ListFiles(const std::string &folder, std::vector<std::string> *names);
// Renames from to to, replacing to.
bool MoveIntoPlace(const std::string &from, const std::string &to);
bool MakeFolder(const std::string &path);
// The folder of the running program, with its trailing separator.
std::string ToolFolder();

// Ctrl+C and termination signals: the first one only sets a flag, which the
// long loops (pictures of a folder, writes of the output) look at, so that
// they stop and clean up their side file and converted pictures as on any
// error; a second one ends the tool at once.
void CatchInterrupts();
bool Interrupted();
