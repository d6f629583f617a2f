// The monitors a full-screen picture window covers, and the sizes one
// picture is drawn at across them.
#pragma once

#include "platform/win.h"

const int kMaxScreens = 16;

// The monitor rectangles (screen coordinates) that meet `window`, clipped
// to it and moved into its client coordinates, each once; the whole client
// area when none does. Returns how many went into `out` (1 to `max`).
int ScreensInWindow(const RECT* monitors, int count, const RECT& window, RECT* out, int max);

// The size a picture drawn at `width` x `height` is made at to move: as large
// as the view at its closest shows it.
SIZE ZoomedSize(int width, int height);

// The distinct sizes a `width` x `height` picture is drawn at on `screens`
// (DrawnSize for each, or its ZoomedSize when `zoomed`), the picture's own
// size first when a screen shows it so, for that one needs no remaking.
// Returns how many went into `out`.
int DrawnSizes(const RECT* screens, int count, int width, int height, BOOL stretch, SIZE* out, bool zoomed = false);

// Two pictures of sizes `a` and `b` as a pair (PlacePair) on `screen`, their
// rectangles in the screen's own coordinates; FALSE when they make no pair
// there.
BOOL PairOnScreen(const RECT& screen, SIZE a, SIZE b, BOOL stretch, RECT* ra, RECT* rb);

// The widest and the tallest of those sizes: what a photo is decoded at
// least at, before each size is made from it.
SIZE LargestDrawnSize(const RECT* screens, int count, int width, int height, BOOL stretch, bool zoomed = false);
