// The commands of the menus and accelerators: each one a change through the
// document's free functions between BeginChange and EndChange, or a file
// operation.
#include "editor/editor_commands.h"

#include <commdlg.h>

#include <cstring>

#include "editor/document_files.h"
#include "editor/setup_saving.h"
#include "editor/editor_plugins.h"
#include "editor/editor_state.h"
#include "editor/editor_views.h"
#include "editor/picture_adding.h"
#include "editor/play_show.h"
#include "editor/show_pages_edit.h"
#include "editor/show_settings.h"
#include "editor/show_settings_dialog.h"
#include "editor/missing_media.h"
#include "editor/recent_files.h"
#include "editor/sound_commands.h"
#include "editor/sound_files.h"
#include "editor/text_dialog.h"
#include "editor/wide_messages.h"
#include "resources/editor_ids.h"

namespace {
bool HasItem() {
  Page *page = CurrentShowPage();
  return page && Editor.selection.kind != ITEM_NONE;
}
bool HasPicture() { return HasItem() && Editor.selection.kind == ITEM_PICTURE; }
bool PageListHasFocus() { return GetFocus() == Editor.pageList; }

// One change to the current page's items.
template <typename F>
void ChangeItems(F change, int scope = CHANGE_ITEMS) {
  Page *page = CurrentShowPage();
  if (!page || !BeginChange()) return;
  change(page);
  EndChange(scope);
}

void AskFolder(HWND window) {
  std::wstring folder = AskForFolder(window, IDS_FOLDER_TITLE);
  if (!folder.empty()) OpenPath(folder);
}

void OpenDialog(HWND window) {
  std::vector<std::wstring> paths;
  if (AskForFiles(window, IDS_OPEN_TITLE, IDS_FILTER_SHOWS, false, &paths)) OpenPath(paths.front());
}

void ChoosePageColour(HWND window) {
  Page *page = CurrentShowPage();
  if (!page) return;
  static COLORREF custom[16];
  CHOOSECOLORW choose = {};
  choose.lStructSize = sizeof choose;
  choose.hwndOwner = window;
  choose.rgbResult = page->backgroundColour;
  choose.lpCustColors = custom;
  choose.Flags = CC_RGBINIT | CC_FULLOPEN;
  if (!ChooseColorW(&choose)) return;
  ChangeItems([&](Page *p) { p->backgroundColour = choose.rgbResult & 0xFFFFFF; }, CHANGE_PAGE);
}

void AddTextCommand(HWND window) {
  Page *page = CurrentShowPage();
  if (!page) return;
  std::string text;
  TextStyle style;
  DefaultTextStyle(&style);
  if (!RunTextDialog(window, &text, &style)) return;
  ChangeItems([&](Page *p) {
    int32_t index;
    if (AddText(p, text.c_str(), &style, 0.1, 0.1, &index)) Editor.selection = {ITEM_TEXT, index};
  });
}

void EditTextCommand(HWND window) {
  Page *page = CurrentShowPage();
  if (!page || Editor.selection.kind != ITEM_TEXT) return;
  int32_t index = Editor.selection.index;
  std::string text = PageText(page, index);
  TextStyle style;
  GetTextStyle(&page->texts[index], &style);
  if (!RunTextDialog(window, &text, &style)) return;
  ChangeItems([&](Page *p) { SetText(p, index, text.c_str(), &style); });
}

void DeleteCommand() {
  if (PageListHasFocus() || !HasItem()) {
    if (Show.pages.pageCount > 1 && BeginChange()) {
      DeletePage(&Show.pages, Show.pages.selectedPage);
      Editor.selection = {ITEM_NONE, -1};
      EndChange(CHANGE_PAGES);
    }
    return;
  }
  ChangeItems([](Page *p) {
    DeleteItem(p, Editor.selection);
    Editor.selection = {ITEM_NONE, -1};
  });
}

void MoveCurrentPage(int by) {
  int32_t from = Show.pages.selectedPage, to = from + by;
  if (to < 0 || to >= Show.pages.pageCount || !BeginChange()) return;
  MovePage(&Show.pages, from, to);
  EndChange(CHANGE_PAGES);
}
}  // namespace

int CommandEnabled(int id) {
  Page *page = CurrentShowPage();
  switch (id) {
    case IDM_UNDO: return CanUndo(&Editor.history);
    case IDM_REDO: return CanRedo(&Editor.history);
    case IDM_CUT: case IDM_COPY: return HasItem();
    case IDM_PASTE: return !Editor.clipboard.pictures.empty() || !Editor.clipboard.texts.empty();
    case IDM_DELETE: return HasItem() || Show.pages.pageCount > 1;
    case IDM_EDIT_TEXT: return HasItem() && Editor.selection.kind == ITEM_TEXT;
    case IDM_TURN_RIGHT: case IDM_TURN_LEFT: case IDM_MIRROR: case IDM_FLIP: case IDM_SHADOW: return HasPicture();
    case IDM_FORWARD: case IDM_BACK: return HasItem();
    case IDM_PAGE_DELETE: return Show.pages.pageCount > 1;
    case IDM_PAGE_EARLIER: return MusicListHasFocus() || Show.pages.selectedPage > 0;
    case IDM_PAGE_LATER: return MusicListHasFocus() || Show.pages.selectedPage + 1 < Show.pages.pageCount;
    case IDM_VOICE_PLAY: case IDM_VOICE_REMOVE: return page && PageVoice(page);
    case IDM_TRANSITION_SETTINGS: case IDM_TRANSITION_PREVIEW: return page && PluginIndexFor(page->transitionId) >= 0;
    default: return 1;
  }
}

void RunCommand(HWND window, int id) {
  if (!CommandEnabled(id)) return;
  const PageFrame frame = CurrentFrame();
  if (id >= IDM_GRID_NONE && id < IDM_GRID_NONE + GRID_SPACING_COUNT) {
    if (BeginChange()) {
      SetGridSpacing(Show.editorSettings, GRID_SPACINGS[id - IDM_GRID_NONE]);
      EndChange(CHANGE_PAGE);
    }
    return;
  }
  if (id >= IDM_RECENT_FIRST && id < IDM_RECENT_FIRST + RECENT_FILE_COUNT) {
    std::wstring path = RecentFile(id - IDM_RECENT_FIRST);
    if (!path.empty()) OpenPath(path);
    return;
  }
  switch (id) {
    case IDM_NEW:
      if (AskToKeepChanges()) NewShow();
      break;
    case IDM_OPEN: OpenDialog(window); break;
    case IDM_OPEN_FOLDER: AskFolder(window); break;
    case IDM_SAVE: SaveWorking(false); break;
    case IDM_SAVE_AS: SaveWorking(true); break;
    case IDM_SAVE_SAVER: SaveSaverAs(); break;
    case IDM_SAVE_SETUP: SaveSetupAs(); break;
    case IDM_EXIT: PostMessageW(window, WM_CLOSE, 0, 0); break;
    case IDM_UNDO:
    case IDM_REDO:
      if (id == IDM_UNDO ? UndoChange(&Editor.history, &Show) : RedoChange(&Editor.history, &Show)) {
        Editor.selection = {ITEM_NONE, -1};
        Editor.modified = 1;
        DocumentChanged(CHANGE_ALL);
      }
      break;
    case IDM_COPY: CopyItem(CurrentShowPage(), Editor.selection, &Editor.clipboard); UpdateMenus(); break;
    case IDM_CUT:
      if (CopyItem(CurrentShowPage(), Editor.selection, &Editor.clipboard)) DeleteCommand();
      break;
    case IDM_PASTE:
      ChangeItems([&](Page *p) { PasteItems(p, &Editor.clipboard, &frame, Scaled(16), &Editor.selection); });
      break;
    case IDM_DELETE: DeleteCommand(); break;
    case IDM_ADD_PICTURES: {
      std::vector<std::wstring> paths;
      if (AskForPictures(window, &paths)) AddPictureFiles(paths);
      break;
    }
    case IDM_ADD_TEXT: AddTextCommand(window); break;
    case IDM_EDIT_TEXT: EditTextCommand(window); break;
    case IDM_TURN_RIGHT: ChangeItems([&](Page *p) { TurnPicture(p, Editor.selection.index, &frame, TURN_RIGHT); }); break;
    case IDM_TURN_LEFT: ChangeItems([&](Page *p) { TurnPicture(p, Editor.selection.index, &frame, TURN_LEFT); }); break;
    case IDM_MIRROR: ChangeItems([&](Page *p) { TurnPicture(p, Editor.selection.index, &frame, TURN_MIRROR); }); break;
    case IDM_FLIP: ChangeItems([&](Page *p) { TurnPicture(p, Editor.selection.index, &frame, TURN_FLIP); }); break;
    case IDM_SHADOW:
      ChangeItems([&](Page *p) {
        int32_t k = Editor.selection.index;
        SetPictureShadow(p, k, !p->pictures[k].shadow);
      });
      break;
    case IDM_FORWARD: ChangeItems([](Page *p) { BringItemForward(p, &Editor.selection); }); break;
    case IDM_BACK: ChangeItems([](Page *p) { SendItemBack(p, &Editor.selection); }); break;
    case IDM_PAGE_NEW:
      if (BeginChange()) {
        InsertNewPage(&Show.pages, Show.pages.selectedPage + 1);
        Editor.selection = {ITEM_NONE, -1};
        EndChange(CHANGE_PAGES);
      }
      break;
    case IDM_PAGE_DUPLICATE:
      if (BeginChange()) {
        DuplicatePage(&Show.pages, Show.pages.selectedPage);
        EndChange(CHANGE_PAGES);
      }
      break;
    case IDM_PAGE_DELETE:
      if (BeginChange()) {
        DeletePage(&Show.pages, Show.pages.selectedPage);
        Editor.selection = {ITEM_NONE, -1};
        EndChange(CHANGE_PAGES);
      }
      break;
    case IDM_PAGE_EARLIER:
    case IDM_PAGE_LATER:
      // Alt+Up/Down move a music track while the music list has the focus.
      if (MusicListHasFocus()) MoveMusicSelection(id == IDM_PAGE_EARLIER ? -1 : 1);
      else MoveCurrentPage(id == IDM_PAGE_EARLIER ? -1 : 1);
      break;
    case IDM_VOICE_ADD: ChooseVoiceCommand(window); break;
    case IDM_VOICE_PLAY: PlayVoiceCommand(); break;
    case IDM_VOICE_REMOVE: RemoveVoiceCommand(); break;
    case IDM_MUSIC_ADD: AddMusicCommand(window); break;
    case IDM_SOUND_STOP: StopSound(); break;
    case IDM_SHOW_SETTINGS: RunShowSettings(window); break;
    case IDM_FIND_MISSING: FindMissingMedia(window); break;
    case IDM_PAGE_COLOUR: ChoosePageColour(window); break;
    case IDM_TRANSITION_SETTINGS: {
      Page *page = CurrentShowPage();
      Page edited = *page;  // only its transition fields are changed by the dialog
      if (EditTransitionParams(window, &edited))
        ChangeItems([&](Page *p) {
          p->transitionWait = edited.transitionWait;
          memcpy(p->transitionParams, edited.transitionParams, sizeof p->transitionParams);
        }, CHANGE_PAGE);
      break;
    }
    case IDM_TRANSITION_PREVIEW: PreviewTransition(); break;
    case IDM_TRANSITION_ALL:
      if (BeginChange()) {
        ApplyTransitionToAll(&Show.pages, Show.pages.selectedPage);
        EndChange(CHANGE_PAGES);
      }
      break;
    case IDM_TRANSITION_TURNS: {
      std::vector<TransitionChoice> choices = TurnChoices();
      if (!choices.empty() && BeginChange()) {
        TakeTurns(&Show.pages, choices.data(), int32_t(choices.size()));
        EndChange(CHANGE_PAGES);
      }
      break;
    }
    case IDM_PLAY: PlayFromCurrentPage(window); break;
    case IDM_NEXT_PANE: FocusNextPane(1); break;
    case IDM_PREVIOUS_PANE: FocusNextPane(0); break;
    case IDM_ABOUT: WideInfo(window, LoadWide(IDS_ABOUT)); break;
  }
}
