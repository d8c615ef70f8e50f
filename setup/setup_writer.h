// Writing a set-up program: the bare set-up program (vormkit-setup.exe) with
// its version texts naming the show, then the package of setup_format.h.
// Portable: vormkit-pack writes set-up programs natively and on Windows, and
// the editor through setup_file_win.h. The bytes of each file are read
// through a callback, so a large saver never has to be in memory whole.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct SetupSource {
  void *context;
  // Reads size bytes at offset into buffer; 1 when all of them were read.
  int (*read)(void *context, uint64_t offset, void *buffer, uint32_t size);
};

struct SetupItem {
  std::string name;  // UTF-8, relative to the install folder, '\' between folders
  uint64_t size;
  SetupSource source;
};

struct SetupSink {
  void *context;
  // Appends size bytes to the set-up program; 1 when all were written.
  int (*write)(void *context, const void *bytes, size_t size);
};

struct SetupPackage {
  std::string info;                     // the "key=value" lines
  std::vector<unsigned char> preview;   // a packed 24-bit Dib, or empty
  std::vector<SetupItem> files;
  std::string description;              // the set-up program's FileDescription
  std::string productName;              // its ProductName
};

// What the set-up shows and records in the uninstall entry (UTF-8).
struct SetupDetails {
  std::string displayName;  // empty: the saver's file name without ".scr"
  std::string version;      // DisplayVersion; required
  std::string publisher;    // Publisher
};

// The package of one saver file (fileName ends in ".scr"): installed into
// %LOCALAPPDATA%\Programs\VORMKIT as that file and made the current screen
// saver. preview is the first page (a packed 24-bit Dib) or empty.
int SaverSetupPackage(const std::string &fileName, uint64_t size, SetupSource source, const SetupDetails &details,
                      const std::vector<unsigned char> &preview, SetupPackage *package, std::string *error);

// The package of VORMKIT itself: the files into %LOCALAPPDATA%\Programs\VORMKIT\Editor;
// when they hold vormkit-editor.exe, a Start-menu entry for it and the
// ".vkshow" extension opening in it.
int KitSetupPackage(const std::vector<SetupItem> &files, const SetupDetails &details, SetupPackage *package,
                    std::string *error);

// Writes the set-up program: stub (the bare vormkit-setup.exe, refused when
// it already carries a package) with its version texts set, then the
// package. error says what went wrong; the sink may then hold part of it.
int WriteSetupProgram(const std::vector<unsigned char> &stub, const SetupPackage &package, const SetupSink &sink,
                      std::string *error);
