// The editor's plug-ins: the host's table filled from the editor's folder.
#include "editor/editor_plugins.h"

#include <cstring>

#include "editor/cp932_text.h"
#include "editor/document_files.h"
#include "editor/editor_state.h"
#include "transitions/effect_defaults.h"
#include "transitions/plugin_host.h"

void LoadEditorPlugins() {
  std::string folder = AnsiPath(Editor.programFolder);
  if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  LoadTransitionPlugins(folder.c_str());
}

void UnloadEditorPlugins() { UnloadTransitionPlugins(); }

int PluginCount() { return TransitionPlugins.count; }

int PluginIndexFor(int32_t checksum) { return checksum ? FindTransitionPlugin(checksum) : -1; }

std::wstring PluginName(int index) {
  if (index < 0 || index >= TransitionPlugins.count) return std::wstring();
  std::u16string name = FromCp932(TransitionPlugins.entries[index].displayName);
  return std::wstring(name.begin(), name.end());
}

std::vector<std::string> OwnPluginFiles() {
  std::vector<std::string> files;
  for (int k = 0; k < TransitionPlugins.count; ++k) files.push_back(TransitionPlugins.entries[k].path);
  return files;
}

void SetPageTransition(Page *page, int index) {
  memset(page->transitionParams, 0, sizeof page->transitionParams);
  if (index < 0 || index >= TransitionPlugins.count) {
    page->transitionId = 0;
    page->transitionWait = 0;
    return;
  }
  const TransitionPlugin &plugin = TransitionPlugins.entries[index];
  page->transitionId = plugin.checksum;
  page->transitionWait = plugin.defaultWait;
  for (int k = 0; k < EFFECT_PARAM_WORDS; ++k) PutInt32(page->transitionParams + 4 * k, plugin.defaultParams[k]);
}

int EditTransitionParams(HWND owner, Page *page) {
  int index = PluginIndexFor(page->transitionId);
  if (index < 0) return 0;
  TransitionParams params;
  memset(&params, 0, sizeof params);
  params.wait = page->transitionWait;
  for (int k = 0; k < EFFECT_PARAM_WORDS; ++k) params.effectParams[k] = GetInt32(page->transitionParams + 4 * k);
  // The plug-in's dialog belongs to the window with the focus.
  SetFocus(owner);
  if (!TransitionPlugins.entries[index].paramsFunction(&params)) return 0;
  page->transitionWait = params.wait;
  for (int k = 0; k < EFFECT_PARAM_WORDS; ++k) PutInt32(page->transitionParams + 4 * k, params.effectParams[k]);
  return 1;
}

std::vector<TransitionChoice> TurnChoices() {
  std::vector<TransitionChoice> choices;
  for (int k = 0; k < EFFECT_COUNT; ++k) {
    std::string path = AnsiPath(Editor.programFolder + std::wstring(EFFECT_TABLE[k].name,
                                                                     EFFECT_TABLE[k].name + strlen(EFFECT_TABLE[k].name)) +
                                L".tns");
    int32_t checksum = path.empty() ? 0 : FileChecksum(path.c_str());
    if (!checksum || PluginIndexFor(checksum) < 0) continue;
    TransitionChoice choice = {};
    choice.id = checksum;
    ApplyEffectDefaults(EffectKind(k), &choice.wait, choice.words);
    choices.push_back(choice);
  }
  return choices;
}

int PlayTransition(HWND window, HDC dc, const Page *page, const RECT *pageRect, void *next) {
  int index = PluginIndexFor(page->transitionId);
  if (index < 0 || !next) return 0;
  TransitionParams params;
  memset(&params, 0, sizeof params);
  int32_t size[2] = {pageRect->right - pageRect->left, pageRect->bottom - pageRect->top};
  RECT dest = *pageRect;
  params.window = window;
  params.dc = dc;
  params.image = next;
  params.imageSize = size;
  params.destRect = &dest;
  params.backColor = page->backgroundColour;
  params.wholeWindow = 0;
  params.abortable = 1;
  params.wait = page->transitionWait;
  for (int k = 0; k < EFFECT_PARAM_WORDS; ++k) params.effectParams[k] = GetInt32(page->transitionParams + 4 * k);
  params.mouseMoveAborts = 0;
  TransitionPlugins.entries[index].transitionFunction(&params);
  return 1;
}
