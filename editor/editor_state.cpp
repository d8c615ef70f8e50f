// The editor's record and the one change notice that the views follow.
#include "editor/editor_state.h"

#include "editor/editor_views.h"
#include "editor/recovery.h"

EditorState Editor;

Page *CurrentShowPage() {
  PageArray &pages = Show.pages;
  if (!pages.pages || pages.pageCount < 1) return nullptr;
  if (pages.selectedPage < 0 || pages.selectedPage >= pages.pageCount) pages.selectedPage = 0;
  return &pages.pages[pages.selectedPage];
}

PageFrame CurrentFrame() { return ShowFrame(Show.editorSettings, Editor.screenWidth, Editor.screenHeight); }

int BeginChange() { return RecordBeforeChange(&Editor.history, &Show); }

void EndChange(int scope) {
  Editor.modified = 1;
  DocumentChanged(scope);
}

void DocumentChanged(int scope) {
  // The selection must name an item of the current page.
  Page *page = CurrentShowPage();
  ItemRef &s = Editor.selection;
  if (!page || (s.kind == ITEM_PICTURE && (s.index < 0 || s.index >= page->pictureCount)) ||
      (s.kind == ITEM_TEXT && (s.index < 0 || s.index >= page->textCount)))
    s = {ITEM_NONE, -1};
  UpdateTitle();
  UpdateMenus();
  AutosaveOnPageChange(Show.pages.selectedPage);
  PageListChanged(scope);
  CanvasChanged(scope);
  if (scope & (CHANGE_PAGE | CHANGE_PAGES | CHANGE_SELECTION)) SettingsPaneChanged();
  if (scope & (CHANGE_PAGE | CHANGE_PAGES)) MusicPaneChanged();
}
