// The show's own settings, as the settings dialog changes them: the page
// size (with every picture rescaled onto the new page), the quality of
// pictures converted to JPEG, the author's link and the editing password;
// and the show's sounds: each page's voice and the music list. Portable free
// functions over the show's records, 1 or 0 (nothing changed on 0).
#pragma once

#include <cstdint>

#include "editor/page_frame.h"
#include "show/show_document.h"

// The page sizes offered besides the monitor's and the person's own.
struct PageSizeChoice {
  int32_t width, height;
  const char *ratio;  // "16:9" and the like
};
constexpr PageSizeChoice PAGE_SIZE_CHOICES[] = {
    {1920, 1080, "16:9"}, {1920, 1200, "16:10"}, {1024, 768, "4:3"}, {2160, 1440, "3:2"}, {2560, 1080, "21:9"}};
constexpr int PAGE_SIZE_CHOICE_COUNT = 5;
constexpr int32_t MIN_PAGE_SIDE = 16;
constexpr int32_t MAX_PAGE_SIDE = 16384;

// Lays the show out for a page of width x height (each MIN_PAGE_SIDE ..
// MAX_PAGE_SIDE): every picture keeps its proportions in pixels, is scaled by
// the smaller of the two side ratios about its centre, whose place on the
// page is kept in fractions, and is moved (or, when larger than the page,
// shrunk) so that it lies on the page. Texts keep their anchors (their font
// heights follow the page width as the player draws them). oldFrame is the
// page the show was laid out for (its recorded size or the screen's).
int ResizeShowPages(ShowDocument *show, const PageFrame *oldFrame, int32_t width, int32_t height);

// JPEG quality of converted pictures: byte 9 of the editor settings block,
// after the page size; 0 (as older shows hold it) means 100.
constexpr size_t JPEG_QUALITY_SETTINGS_OFFSET = 9;
constexpr int SMALLER_JPEG_QUALITY = 90;
int ShowJpegQuality(const unsigned char settings[EDITOR_SETTINGS_SIZE]);
// Stores 100 or SMALLER_JPEG_QUALITY; 0 for another value.
int SetShowJpegQuality(unsigned char settings[EDITOR_SETTINGS_SIZE], int quality);

// The author's link: address is accepted only where the player's link
// button would open it (its own rule); an empty address removes the link
// (and its caption). Both are CP932 and must fit their 255-byte fields.
int SetShowLink(ShowDocument *show, const char *address, const char *caption);

// Setting the editing password from two entries: 0 when set, else the
// message to show: 5019 for an empty password, 5018 when the entries differ,
// -1 when it is longer than 127 bytes.
int SetShowPassword(ShowDocument *show, const char *entry, const char *confirmation);
void RemoveShowPassword(ShowDocument *show);

// A page's voice: its first sound record. path is CP932, shorter than
// PATH_SIZE. Setting replaces the voice the page had.
int SetPageVoice(Page *page, const char *path);
int RemovePageVoice(Page *page);
const char *PageVoice(const Page *page);  // null without a voice

// The music list: the table's entries from the first one upward, without
// gaps. 5300 (the message) when all BGM_SLOT_COUNT are in use, 1 when
// added, 0 for a path that does not fit.
int MusicCount(const BgmPathTable *table);
int AddMusic(BgmPathTable *table, const char *path);
int RemoveMusic(BgmPathTable *table, int index);
// Moves entry from to place to; the entries between close up.
int MoveMusic(BgmPathTable *table, int from, int to);

// A page waits for its voice: what it plays is the longer of the two (ms).
int32_t PagePlayTime(int32_t displayTime, int32_t voiceLength);
