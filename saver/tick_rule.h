// The slideshow's tick counting and picture numbering, apart from the window.
#pragma once

#include <cstddef>

#include "platform/win.h"

struct SaverSettings;

// The tick counter's value for a ChangeDelay: where a new window or a newly
// noticed collection starts counting, so that its first tick changes the
// picture.
short TicksFromDelay(int changeDelay);

// One timer tick of a picture window. `setName` is the collection the window
// last took over (kNameSize bytes), `ticks` its 16-bit counter. Returns TRUE
// when this tick changes the picture.
BOOL CountTick(char* setName, short* ticks, const SaverSettings& settings, BOOL preview);

// The picture number after `current` in a collection of `count` pictures.
int NextPictureNumber(int current, int count);
