// The saver's and VORMKIT's own packages, and the set-up program's bytes.
#include "setup/setup_writer.h"

#include "setup/pe_image.h"
#include "setup/setup_format.h"

namespace {
bool EndsWithNoCase(const std::string &text, const char *tail) {
  std::string t = tail;
  if (text.size() < t.size()) return false;
  for (size_t i = 0; i < t.size(); ++i) {
    char a = text[text.size() - t.size() + i], b = t[i];
    if (a >= 'A' && a <= 'Z') a = char(a - 'A' + 'a');
    if (a != b) return false;
  }
  return true;
}

// A value for one info line: no line breaks, valid UTF-8.
bool InfoText(const std::string &what, const std::string &text, std::string *error) {
  std::u16string wide;
  if (text.find_first_of("\r\n") != std::string::npos || !Utf8ToUtf16(text, &wide)) {
    *error = what + " \"" + text + "\" is not one line of UTF-8 text";
    return false;
  }
  return true;
}

bool Version(const SetupDetails &details, std::string *error) {
  if (details.version.empty()) {
    *error = "no version given";
    return false;
  }
  return InfoText("the version", details.version, error);
}

int Write(const SetupSink &sink, const void *bytes, size_t size, std::string *error) {
  if (size && !sink.write(sink.context, bytes, size)) {
    *error = "cannot write the set-up program (is the disk full?)";
    return 0;
  }
  return 1;
}
}  // namespace

int SaverSetupPackage(const std::string &fileName, uint64_t size, SetupSource source, const SetupDetails &details,
                      const std::vector<unsigned char> &preview, SetupPackage *package, std::string *error) {
  if (!EndsWithNoCase(fileName, ".scr") || fileName.size() <= 4 || fileName.find('\\') != std::string::npos ||
      !SetupNameIsSafe(fileName)) {
    *error = "\"" + fileName + "\" is not a saver file name (NAME.scr, without the characters \\ / : * ? \" < > |)";
    return 0;
  }
  const std::string base = fileName.substr(0, fileName.size() - 4);
  const std::string name = details.displayName.empty() ? base : details.displayName;
  const std::string publisher = details.publisher.empty() ? "VORMKIT" : details.publisher;
  if (!InfoText("the name", name, error) || !Version(details, error) ||
      !InfoText("the publisher", publisher, error) || !InfoText("the file name", fileName, error))
    return 0;
  package->info = "kind=saver\nname=" + name + "\nkey=VORMKIT-" + base + "\nfolder=VORMKIT\nversion=" +
                  details.version + "\npublisher=" + publisher + "\nsaver=" + fileName +
                  "\nicon=" + fileName + "\nuninstaller=" + base + "-uninstall.exe\n";
  package->preview = preview;
  package->files = {{fileName, size, source}};
  package->description = name + " のセットアップ";
  package->productName = name;
  return 1;
}

int KitSetupPackage(const std::vector<SetupItem> &files, const SetupDetails &details, SetupPackage *package,
                    std::string *error) {
  if (files.empty()) {
    *error = "no files to install";
    return 0;
  }
  bool editor = false;
  for (const SetupItem &item : files) {
    if (!SetupNameIsSafe(item.name) || !InfoText("the file name", item.name, error)) {
      if (error->empty()) *error = "\"" + item.name + "\" cannot be installed under that name";
      return 0;
    }
    if (item.name == "uninstall.exe") {
      *error = "uninstall.exe is the uninstaller's own name";
      return 0;
    }
    editor = editor || item.name == "vormkit-editor.exe";
  }
  const std::string &version = details.version;
  const std::string publisher = details.publisher.empty() ? "VORMKIT" : details.publisher;
  if (!Version(details, error) || !InfoText("the publisher", publisher, error)) return 0;
  std::string name = details.displayName.empty() ? "VORMKIT" : details.displayName;
  if (!InfoText("the name", name, error)) return 0;
  package->info = "kind=kit\nname=" + name + "\nkey=VORMKIT\nfolder=VORMKIT\\Editor\nversion=" + version +
                  "\npublisher=" + publisher + "\nuninstaller=uninstall.exe\n";
  if (editor)
    package->info += "icon=vormkit-editor.exe\nshortcut=vormkit-editor.exe\nshortcutName=VORMKIT エディター\n"
                     "extension=.vkshow\nprogid=VORMKIT.Show\ntypeName=VORMKIT ショー\n";
  package->preview.clear();
  package->files = files;
  package->description = name + " " + version + " のセットアップ";
  package->productName = name;
  return 1;
}

int WriteSetupProgram(const std::vector<unsigned char> &stubIn, const SetupPackage &package, const SetupSink &sink,
                      std::string *error) {
  // The bare set-up program: its file ends where its image ends.
  std::vector<unsigned char> stub = stubIn;
  uint64_t end = 0;
  if (!PeImageEnd(stub.data(), stub.size(), &end) || end != stub.size()) {
    *error = "the set-up program given is not a bare vormkit-setup.exe";
    return 0;
  }
  std::u16string description, product;
  Utf8ToUtf16(package.description, &description);
  Utf8ToUtf16(package.productName, &product);
  if (!PeSetVersionString(stub.data(), stub.size(), "FileDescription", description) ||
      !PeSetVersionString(stub.data(), stub.size(), "ProductName", product)) {
    *error = "the set-up program given has no version texts to name the show in";
    return 0;
  }
  if (package.info.size() > SETUP_MAX_INFO || package.preview.size() > SETUP_MAX_PREVIEW ||
      package.files.empty() || package.files.size() > SETUP_MAX_FILES) {
    *error = "the package is too large for a set-up program";
    return 0;
  }

  SetupHeader header = {uint32_t(package.info.size()), uint32_t(package.preview.size()),
                        uint32_t(package.files.size()), 0};
  header.bodySize = package.info.size() + package.preview.size();
  for (const SetupItem &item : package.files) header.bodySize += 12 + item.name.size() + item.size;
  unsigned char head[SETUP_HEADER_SIZE];
  WriteSetupHeader(header, head);
  if (!Write(sink, stub.data(), stub.size(), error) || !Write(sink, head, sizeof head, error)) return 0;

  uint32_t crc = 0;
  auto body = [&](const void *bytes, size_t size) {
    crc = Crc32(crc, bytes, size);
    return Write(sink, bytes, size, error);
  };
  if (!body(package.info.data(), package.info.size()) || !body(package.preview.data(), package.preview.size()))
    return 0;
  std::vector<unsigned char> buffer(1u << 20);
  for (const SetupItem &item : package.files) {
    unsigned char fields[12];
    PutU32(fields, uint32_t(item.name.size()));
    if (!body(fields, 4) || !body(item.name.data(), item.name.size())) return 0;
    PutU64(fields + 4, item.size);
    if (!body(fields + 4, 8)) return 0;
    for (uint64_t at = 0; at < item.size;) {
      uint32_t piece = uint32_t(item.size - at < buffer.size() ? item.size - at : buffer.size());
      if (!item.source.read(item.source.context, at, buffer.data(), piece)) {
        *error = item.name + ": cannot be read";
        return 0;
      }
      if (!body(buffer.data(), piece)) return 0;
      at += piece;
    }
  }
  unsigned char tail[4];
  PutU32(tail, crc);
  return Write(sink, tail, sizeof tail, error);
}
