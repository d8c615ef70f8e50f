// Orientation codes as the 2 x 2 integer matrices of their pixel mappings
// (x to the right, y downwards): composing two turns is multiplying them.
#include "editor/orientation_turns.h"

namespace {
struct Matrix {
  int a, b, c, d;  // (x, y) -> (a x + b y, c x + d y)
};

Matrix Multiply(const Matrix &m, const Matrix &n) {  // m after n
  return {m.a * n.a + m.b * n.c, m.a * n.b + m.b * n.d, m.c * n.a + m.d * n.c, m.c * n.b + m.d * n.d};
}

bool Same(const Matrix &m, const Matrix &n) { return m.a == n.a && m.b == n.b && m.c == n.c && m.d == n.d; }

const Matrix kIdentity = {1, 0, 0, 1};
const Matrix kClockwise = {0, -1, 1, 0};  // right goes down
const Matrix kFlipVertical = {1, 0, 0, -1};
const Matrix kFlipHorizontal = {-1, 0, 0, 1};

Matrix CodeMatrix(int32_t code) {
  Matrix m = kIdentity;
  for (int k = 0; k < code % 4; ++k) m = Multiply(kClockwise, m);
  if (code / 4 == 1) m = Multiply(kFlipVertical, m);
  if (code / 4 == 2) m = Multiply(kFlipHorizontal, m);
  return m;
}

int32_t CodeOf(const Matrix &m) {
  for (int32_t code = 0; code < 12; ++code)
    if (Same(CodeMatrix(code), m)) return code;
  return 0;
}
}  // namespace

int32_t CanonicalOrientation(int32_t code) {
  if (code < 0 || code > 11) return 0;
  return CodeOf(CodeMatrix(code));
}

int32_t TurnOrientation(int32_t code, OrientationTurn turn) {
  if (code < 0 || code > 11) code = 0;
  Matrix m = CodeMatrix(code);
  switch (turn) {
    case TURN_RIGHT: m = Multiply(kClockwise, m); break;
    case TURN_LEFT: m = Multiply(kClockwise, Multiply(kClockwise, Multiply(kClockwise, m))); break;
    case TURN_MIRROR: m = Multiply(kFlipHorizontal, m); break;
    case TURN_FLIP: m = Multiply(kFlipVertical, m); break;
  }
  return CodeOf(m);
}
