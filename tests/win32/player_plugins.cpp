// Loading plug-ins and reading the probe's records for the player's tests.
#include "tests/win32/player_plugins.h"

#include <cstring>

#include "tests/plugins/probe_record.h"
#include "transitions/plugin_host.h"

namespace {
std::string BinDir() {
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string path = self;
  return path.substr(0, path.rfind('\\'));
}

HMODULE ProbeModule() {
  for (int32_t i = 0; i < TransitionPlugins.count; ++i)
    if (strstr(TransitionPlugins.entries[i].path, "probe_plugin")) return TransitionPlugins.entries[i].module;
  return nullptr;
}
}  // namespace

int32_t LoadTestPlugins(const std::string &folder, const std::vector<std::string> &builtNames, int32_t *count) {
  CreateDirectoryA(folder.c_str(), nullptr);
  for (const std::string &name : builtNames)
    CopyFileA((BinDir() + "\\" + name).c_str(), (folder + "\\" + name).c_str(), FALSE);
  LoadTransitionPlugins(folder.c_str());
  *count = TransitionPlugins.count;
  return TransitionPlugins.count > 0 ? TransitionPlugins.entries[0].checksum : 0;
}

void UnloadTestPlugins() { UnloadTransitionPlugins(); }

std::vector<ProbeCall> ProbeCallsMade() {
  auto calls = reinterpret_cast<ProbeCallsPtr>(reinterpret_cast<void *>(GetProcAddress(ProbeModule(), "ProbeCalls")));
  if (!calls) return {};
  std::vector<ProbeRecord> records(PROBE_MAX_RECORDS);
  int n = calls(records.data(), PROBE_MAX_RECORDS);
  if (n > PROBE_MAX_RECORDS) n = PROBE_MAX_RECORDS;
  std::vector<ProbeCall> out;
  for (int i = 0; i < n; ++i) {
    const ProbeRecord &r = records[size_t(i)];
    ProbeCall c = {};
    c.window = r.block.window;
    c.dc = r.block.dc;
    c.image = r.block.image;
    c.hasImageSize = r.hasImageSize;
    c.hasDestRect = r.hasDestRect;
    memcpy(c.imageSize, r.imageSize, sizeof c.imageSize);
    c.destRect = r.destRect;
    c.backColor = r.block.backColor;
    c.wholeWindow = r.block.wholeWindow;
    c.abortable = r.block.abortable;
    c.wait = r.block.wait;
    c.mouseMoveAborts = r.block.mouseMoveAborts;
    c.result = r.block.result;
    memcpy(c.effectParams, r.block.effectParams, sizeof c.effectParams);
    c.tailZero = true;
    for (BYTE b : r.block.unused) c.tailZero &= b == 0;
    c.imageWidth = r.imageWidth;
    c.imageHeight = r.imageHeight;
    c.imageBits = r.imageBits;
    c.clientRect = r.clientRect;
    c.layerOnScreenBefore = r.layerOnScreenBefore;
    out.push_back(c);
  }
  return out;
}

void ProbeReset(int result) {
  auto reset = reinterpret_cast<ProbeResetPtr>(reinterpret_cast<void *>(GetProcAddress(ProbeModule(), "ProbeReset")));
  if (reset) reset(result);
}
