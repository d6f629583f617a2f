// How a change fades: its length, and how far in it is at a given moment.
// Paced by the clock, not by frames: a frame drawn late shows the fade as
// far as the clock says, and the frames missed are simply not drawn.
#pragma once

#include "platform/win.h"

// 1 s, or half the change delay when that is shorter; 0 (a cut) when `fade`
// is 0 or the delay leaves no time.
int FadeMilliseconds(int fade, int changeDelay);

// The new picture's weight, 0 to 256, `elapsed` ms into a fade of `length`
// ms: 256 from the end on, and at once for a fade of no length.
int FadeLevel(DWORD elapsed, int length);
