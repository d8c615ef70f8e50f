// Turning and mirroring a picture on the page in terms of its orientation
// code. A code is a rotation (0..3 quarter turns clockwise) followed by a
// flip (none, top-bottom, left-right): code = rotation + 4 * flip. The twelve
// codes name eight distinct results; a turn or mirror gives the lowest code
// that shows the picture turned or mirrored as asked.
#pragma once

#include <cstdint>

enum OrientationTurn {
  TURN_RIGHT,   // a quarter turn clockwise, as seen on the page
  TURN_LEFT,    // a quarter turn counter-clockwise
  TURN_MIRROR,  // left and right exchanged, as seen on the page
  TURN_FLIP,    // top and bottom exchanged, as seen on the page
};

// The code after the turn; a code outside 0..11 is taken as 0.
int32_t TurnOrientation(int32_t code, OrientationTurn turn);
// The lowest code that shows the picture as code does (0..7 after folding
// the four codes that repeat another); a code outside 0..11 gives 0.
int32_t CanonicalOrientation(int32_t code);
