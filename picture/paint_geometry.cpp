#include "picture/paint_geometry.h"

#include <algorithm>
#include <cstdint>

namespace {

int NotNegative(int n) { return n < 0 ? 0 : n; }

}  // namespace

SIZE DrawnSize(int cxClient, int cyClient, int width, int height, BOOL stretch) {
  const int64_t cx = NotNegative(cxClient), cy = NotNegative(cyClient);
  const int64_t w = NotNegative(width), h = NotNegative(height);
  SIZE size = {0, 0};
  if (cx == 0 || cy == 0) {
    // An empty client area draws nothing, whatever the proportions say.
  } else if (stretch) {
    size.cx = LONG(cx), size.cy = LONG(cy);
  } else if (w <= cx && h <= cy) {
    size.cx = LONG(w), size.cy = LONG(h);
  } else if (w * cy <= h * cx) {  // the height limits: full height, width in proportion
    size.cx = LONG(std::max<int64_t>(1, (w * cy + h / 2) / h)), size.cy = LONG(cy);
  } else {
    size.cx = LONG(cx), size.cy = LONG(std::max<int64_t>(1, (h * cx + w / 2) / w));
  }
  return size;
}

PaintPlacement PlacePicture(int cxClient, int cyClient, int width, int height, BOOL stretch) {
  const SIZE size = DrawnSize(cxClient, cyClient, width, height, stretch);
  return PaintPlacement{(NotNegative(cxClient) - int(size.cx)) >> 1, (NotNegative(cyClient) - int(size.cy)) >> 1,
                        int(size.cx), int(size.cy), 0, 0, NotNegative(width), NotNegative(height)};
}

RECT PlaceTitle(int cxClient, int cyClient, int textWidth, int textHeight) {
  cxClient = NotNegative(cxClient);
  cyClient = NotNegative(cyClient);
  int w = textWidth < cxClient ? NotNegative(textWidth) : cxClient;
  int h = textHeight < cyClient ? NotNegative(textHeight) : cyClient;
  RECT box;
  box.left = (cxClient - w) >> 1;
  box.top = 0;
  box.right = box.left + w;
  box.bottom = h;
  return box;
}

void PlacePair(int cxClient, int cyClient, SIZE a, SIZE b, BOOL stretch, RECT* ra, RECT* rb) {
  *ra = *rb = RECT{0, 0, 0, 0};
  if (cxClient < 1 || cyClient < 1 || a.cx < 1 || a.cy < 1 || b.cx < 1 || b.cy < 1) return;
  const int64_t gap = std::max<int64_t>(1, (int64_t(cxClient) + 50) / 100);
  // A picture's width at height h, rounded to the nearest pixel and at least one; it grows with h.
  const auto width = [](SIZE s, int64_t h) { return std::max<int64_t>(1, (s.cx * h + s.cy / 2) / s.cy); };
  const auto fits = [&](int64_t h) { return width(a, h) + gap + width(b, h) <= cxClient; };
  // The largest height that fits, by halving the range: the widths rounded may fit a little above the height the
  // exact proportions give.
  int64_t low = 1, high = stretch ? cyClient : std::min<int64_t>(cyClient, std::max(a.cy, b.cy));
  while (low < high) {
    const int64_t h = low + (high - low + 1) / 2;
    if (fits(h))
      low = h;
    else
      high = h - 1;
  }
  if (!fits(low)) return;  // too narrow for a pixel of each and the gap
  const int64_t h = low, wa = width(a, h), wb = width(b, h);
  const LONG left = LONG((cxClient - (wa + gap + wb)) >> 1), top = LONG((cyClient - h) >> 1);
  *ra = RECT{left, top, LONG(left + wa), LONG(top + h)};
  *rb = RECT{LONG(left + wa + gap), top, LONG(left + wa + gap + wb), LONG(top + h)};
}
