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
