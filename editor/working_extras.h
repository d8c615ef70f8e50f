// What a working file adds after its pages: the author's link, the carried
// values and the editing password, which the working variant's own records
// have no place for (only the saver variant's prefix and password block
// hold them). The show loader reads a stream front to back and stops after
// the last page, so these bytes, appended at the end, are never in its way.
// Layout: "VrmKtTmpExt00", carried value A, L1, link address (L1 bytes), L2,
// link caption (L2 bytes), carried value B, the 512-byte password block
// (the saver variant's transform), then the int32 size of everything from
// the magic on, and the same 13-byte magic again: the reader finds the
// block from the end of the file.
#pragma once

#include <cstddef>
#include <string>

#include "show/show_document.h"

constexpr char WORKING_EXTRAS_MAGIC[] = "VrmKtTmpExt00";

// The bytes to append to a working file written from show.
std::string EncodeWorkingExtras(const ShowDocument *show);
// Reads the block from the last bytes of a working file (tail is the end of
// the file, size bytes of it) into show. 0 when the tail holds no such block
// (a file written before it existed): show is then unchanged.
int DecodeWorkingExtras(const unsigned char *tail, size_t size, ShowDocument *show);
// How many bytes from the end a reader needs to see the whole block, at most.
constexpr size_t WORKING_EXTRAS_MAX_SIZE = 13 + 4 * 4 + 2 * 255 + 512 + 4 + 13;
