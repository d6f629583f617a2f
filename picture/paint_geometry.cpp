#include "picture/paint_geometry.h"

namespace {

struct Span {
  int dest, destExtent, src, srcExtent;
};

// One dimension of a centred picture: a picture that fits is drawn 1:1 in
// the middle; a larger one shows its middle part 1:1 over the whole extent.
// Source offsets count from the picture's left and top edges.
Span Centre(int client, int size) {
  if (size <= client) return Span{(client - size) >> 1, size, 0, size};
  return Span{0, client, (size - client) / 2, client};
}

int NotNegative(int n) { return n < 0 ? 0 : n; }

}  // namespace

PaintPlacement PlacePicture(int cxClient, int cyClient, int width, int height, BOOL stretch) {
  cxClient = NotNegative(cxClient);
  cyClient = NotNegative(cyClient);
  width = NotNegative(width);
  height = NotNegative(height);
  if (stretch) return PaintPlacement{0, 0, cxClient, cyClient, 0, 0, width, height};
  Span x = Centre(cxClient, width);
  Span y = Centre(cyClient, height);
  return PaintPlacement{x.dest, y.dest, x.destExtent, y.destExtent, x.src, y.src, x.srcExtent, y.srcExtent};
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
