// When a mouse move closes a saver window: the first position reported only
// sets the reference point; any later position other than it closes.
#pragma once

#include "platform/win.h"

// `last` is (-1, -1) until the first move. Returns TRUE when the move at
// (x, y) must post a close request.
BOOL MouseMoveCloses(POINT* last, int x, int y);
