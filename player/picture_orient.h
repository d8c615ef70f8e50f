// Turning and mirroring a picture by its orientation code: the composition
// of the five image operations that the code names, as the player applies
// it to a page's picture layer. Portable, so the authoring tool shows a
// picture exactly as the player will. Placement on the page is elsewhere.
#pragma once

#include <cstdint>

// A new image: layer turned and mirrored by orientation code (code 0 gives
// the layer itself); null for a null layer, a code outside 0..11 or a failed
// operation.
void *OrientLayer(void *layer, int32_t orientation);
