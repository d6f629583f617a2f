// Where a picture and its title go in a picture window.
#pragma once

#include "platform/win.h"

// A StretchDIBits call's destination and source rectangles.
struct PaintPlacement {
  int xDest, yDest, cxDest, cyDest;
  int xSrc, ySrc, cxSrc, cySrc;
};

// Stretched over the whole client area, or centred at the picture's own
// size. A picture larger than the window in centred mode shows its middle
// part 1:1, cropped equally on both sides, instead of being squeezed.
PaintPlacement PlacePicture(int cxClient, int cyClient, int width, int height, BOOL stretch);

// The title box: at the top edge, centred across, no wider or taller than
// the window. textWidth and textHeight come from measuring the title.
RECT PlaceTitle(int cxClient, int cyClient, int textWidth, int textHeight);
