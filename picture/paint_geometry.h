// Where a picture and its title go in a picture window.
#pragma once

#include "platform/win.h"

// A StretchDIBits call's destination and source rectangles.
struct PaintPlacement {
  int xDest, yDest, cxDest, cyDest;
  int xSrc, ySrc, cxSrc, cySrc;
};

// The size a picture is drawn at: the whole client area when stretched; in
// centred mode its own size when it fits, else shrunk to fit with its
// proportions kept, never below one pixel.
SIZE DrawnSize(int cxClient, int cyClient, int width, int height, BOOL stretch);

// The whole picture drawn at DrawnSize, centred in the client area.
PaintPlacement PlacePicture(int cxClient, int cyClient, int width, int height, BOOL stretch);

// The title box: at the top edge, centred across, no wider or taller than
// the window. textWidth and textHeight come from measuring the title.
RECT PlaceTitle(int cxClient, int cyClient, int textWidth, int textHeight);

// Two pictures, `a` at the left and `b` at the right, side by side on a
// `cxClient` x `cyClient` screen: the same height, a gap of 1% of the
// screen's width between them, centred together and as large as fits (in
// centred mode no taller than the taller one's own height); never
// distorted, stretched or not. Their rectangles go to `ra` and `rb`; both
// empty when a size is below 1 or the screen too narrow for the two.
void PlacePair(int cxClient, int cyClient, SIZE a, SIZE b, BOOL stretch, RECT* ra, RECT* rb);
