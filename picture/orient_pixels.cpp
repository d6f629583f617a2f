#include "picture/orient_pixels.h"

#include <cstddef>

namespace {

// Where the upright picture's pixels come from: the source index of its top-left pixel, and how far
// the index moves for one step right and one step down in the upright picture.
struct SourceWalk {
  ptrdiff_t origin, right, down;
};

SourceWalk WalkFor(int orientation, ptrdiff_t w, ptrdiff_t h) {
  const ptrdiff_t last = w * h - 1, lastRow = (h - 1) * w;
  switch (orientation) {
    case 2: return {w - 1, -1, w};        // mirrored left to right
    case 3: return {last, -1, -w};        // turned half round
    case 4: return {lastRow, 1, -w};      // mirrored top to bottom
    case 5: return {0, w, 1};             // mirrored along the top-left to bottom-right diagonal
    case 6: return {lastRow, -w, 1};      // stored row 0 is the right side: turn clockwise
    case 7: return {last, -w, -1};        // mirrored along the other diagonal
    case 8: return {w - 1, w, -1};        // stored row 0 is the left side: turn counter-clockwise
    default: return {0, 1, w};            // as stored
  }
}

}  // namespace

bool SwapsSides(int orientation) { return orientation >= 5 && orientation <= 8; }

void OrientPixels(const uint32_t* source, int width, int height, int orientation, uint32_t* target) {
  const SourceWalk walk = WalkFor(orientation, width, height);
  const int uprightWidth = SwapsSides(orientation) ? height : width;
  const int uprightHeight = SwapsSides(orientation) ? width : height;
  for (int y = 0; y < uprightHeight; ++y) {
    uint32_t* row = target + ptrdiff_t(uprightHeight - 1 - y) * uprightWidth;  // bottom-up
    ptrdiff_t from = walk.origin + y * walk.down;
    for (int x = 0; x < uprightWidth; ++x, from += walk.right) row[x] = source[from];
  }
}
