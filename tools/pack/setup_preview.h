// The picture of a show's first page that a set-up program shows, made by
// the authoring tool without the system's drawing: the page's colour and
// its pictures, each scaled, turned and placed by the player's own geometry
// (play_rules.h, picture_orient.h). Texts and drop shadows need the
// system's fonts and the player's tiles and are left out here; the editor
// passes its own full drawing of the page instead.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "show/show_document.h"

struct PagePicture {
  int32_t index;                      // the picture's record on the page
  std::vector<unsigned char> bytes;   // its file as embedded
};

// A packed 24-bit Dib of page 0 of show, in the show's page shape (4:3 when
// it records none), as large as fits maxWidth x maxHeight. Pictures that do
// not decode are left out. Empty when the show has no page or memory runs out.
std::vector<unsigned char> FirstPagePreview(const ShowDocument &show, const std::vector<PagePicture> &pictures,
                                            int32_t maxWidth, int32_t maxHeight);
