// Everything a show holds besides the page records' media: the editor
// settings, the link, the carried values, the password, the music list and
// the pages. One process-wide instance, Show, is what the loader fills; the
// writer and the tools work on any instance.
#pragma once

#include "show/show_pages.h"
#include "show/show_records.h"

struct ShowDocument {
  ShowVariant variant;  // of the stream last read
  unsigned char editorSettings[EDITOR_SETTINGS_SIZE];
  int32_t carriedA;
  int32_t carriedB;
  char linkAddress[LINK_FIELD_SIZE];
  char linkCaption[LINK_FIELD_SIZE];
  char password[PASSWORD_BUFFER_SIZE];
  BgmPathTable bgmPaths;
  PageArray pages;
};

extern ShowDocument Show;

// Frees every page and clears the document (an empty page array remains usable).
void ClearShowDocument(ShowDocument *show);
