// The editor's process-wide record: its windows, the open document's file
// and temp folder, the undo history, the selection and the clipboard. The
// document itself is Show (show/show_document.h), the show's own records.
// One "document changed" notice keeps every view in step (DocumentChanged).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "editor/page_frame.h"
#include "editor/page_items.h"
#include "editor/undo_history.h"

struct EditorState {
  HINSTANCE instance;
  HWND window;        // the main window
  HWND pageList;      // the page list pane
  HWND canvas;        // the current page, large
  HWND settingsPane;  // the page settings pane
  HWND musicPane;     // the show's music, a strip under the canvas
  HFONT uiFont;
  UINT dpi;

  std::wstring programFolder;  // where the editor, the player and the plug-ins are
  std::wstring documentPath;   // empty for a new show
  bool documentIsSaver;        // opened from (or last saved as) a saver file
  int modified;
  // The opened show's temp folder (a saver file's media); empty when none.
  // It lives as long as the show is open.
  std::wstring tempFolder;
  // Plug-in files a show brought that the editor does not have itself
  // (embedded in an opened saver file): their bytes are written back
  // unchanged; they are never loaded.
  std::vector<std::string> carriedPlugins;

  UndoHistory history;
  ItemRef selection;
  ItemClipboard clipboard;
  int32_t screenWidth, screenHeight;  // of the monitor the editor runs on
  int pageListWidth, settingsWidth;   // pane sizes in pixels
};

extern EditorState Editor;

// What a change touched, for the views.
enum ChangeScope {
  CHANGE_ITEMS = 1,     // the current page's pictures or texts
  CHANGE_PAGE = 2,      // the current page's settings
  CHANGE_PAGES = 4,     // pages added, removed or reordered
  CHANGE_SELECTION = 8, // only the selection or the current page
  CHANGE_ALL = 15,
};

// The current page (Show.pages.selectedPage), null when the show has none.
Page *CurrentShowPage();
// The frame the geometry works in: the show's page size or the screen's.
PageFrame CurrentFrame();
// Records the show for undo before a change; 0 when memory runs out (the
// change is then not made).
int BeginChange();
// The change is made: the document is modified and every view follows.
void EndChange(int scope);
// Views follow a change that is not the document's (selection, current page).
void DocumentChanged(int scope);
