// Whether a JPEG file decodes from start to end, for the folder command,
// which leaves damaged pictures out before it writes anything.
#pragma once

#include <cstdint>
#include <string>

// 1 with the picture's width and height when libjpeg reads every scan line
// without an error or a warning (a file cut short draws grey to its end in
// the player, so it counts as damaged); otherwise 0 with libjpeg's reason.
// The picture is decoded at an eighth of its size, which is quick.
int CheckJpegFile(const std::string &path, int32_t *width, int32_t *height, std::string *why);
