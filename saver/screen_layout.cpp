#include "saver/screen_layout.h"

#include <algorithm>

#include "picture/paint_geometry.h"
#include "saver/pan_path.h"

namespace {
SIZE SizeOn(const RECT& screen, int width, int height, BOOL stretch, bool zoomed) {
  const SIZE s = DrawnSize(screen.right - screen.left, screen.bottom - screen.top, width, height, stretch);
  return zoomed ? ZoomedSize(s.cx, s.cy) : s;
}
}  // namespace

SIZE ZoomedSize(int width, int height) {
  return SIZE{LONG(width * kPanMaxZoom + 0.5), LONG(height * kPanMaxZoom + 0.5)};
}

int ScreensInWindow(const RECT* monitors, int count, const RECT& window, RECT* out, int max) {
  if (max < 1) return 0;
  int n = 0;
  for (int i = 0; i < count && n < max; ++i) {
    const RECT& m = monitors[i];
    const RECT r = {std::max(m.left, window.left) - window.left, std::max(m.top, window.top) - window.top,
                    std::min(m.right, window.right) - window.left, std::min(m.bottom, window.bottom) - window.top};
    if (r.left >= r.right || r.top >= r.bottom) continue;  // off the window, or empty
    bool seen = false;  // mirrored monitors share one rectangle
    for (int j = 0; j < n; ++j)
      seen = seen || (out[j].left == r.left && out[j].top == r.top && out[j].right == r.right && out[j].bottom == r.bottom);
    if (!seen) out[n++] = r;
  }
  if (n == 0) {
    const LONG cx = window.right - window.left, cy = window.bottom - window.top;
    out[n++] = RECT{0, 0, cx > 0 ? cx : 0, cy > 0 ? cy : 0};
  }
  return n;
}

BOOL PairOnScreen(const RECT& screen, SIZE a, SIZE b, BOOL stretch, RECT* ra, RECT* rb) {
  PlacePair(screen.right - screen.left, screen.bottom - screen.top, a, b, stretch, ra, rb);
  if (ra->right <= ra->left || rb->right <= rb->left) return FALSE;  // one empty: both are
  for (RECT* r : {ra, rb}) *r = {r->left + screen.left, r->top + screen.top, r->right + screen.left, r->bottom + screen.top};
  return TRUE;
}

SIZE LargestDrawnSize(const RECT* screens, int count, int width, int height, BOOL stretch, bool zoomed) {
  SIZE largest = {0, 0};
  for (int i = 0; i < count; ++i) {
    const SIZE s = SizeOn(screens[i], width, height, stretch, zoomed);
    largest.cx = std::max(largest.cx, s.cx);
    largest.cy = std::max(largest.cy, s.cy);
  }
  return largest;
}

int DrawnSizes(const RECT* screens, int count, int width, int height, BOOL stretch, SIZE* out, bool zoomed) {
  int n = 0;
  for (int i = 0; i < count; ++i) {
    const SIZE s = SizeOn(screens[i], width, height, stretch, zoomed);
    bool seen = false;
    for (int j = 0; j < n; ++j) seen = seen || (out[j].cx == s.cx && out[j].cy == s.cy);
    if (seen) continue;
    out[n++] = s;
    if (s.cx == width && s.cy == height) std::swap(out[0], out[n - 1]);
  }
  return n;
}
