// The command-line switch and the run mode it chooses.
#pragma once

#include <cstdint>

#include "platform/win.h"

// TRUE when `argument`, after at most one leading '-' or '/', equals `name`
// without regard to case.
BOOL MatchSwitch(const char* argument, const char* name);

enum RunMode { RUN_CONFIGURE, RUN_SLIDESHOW, RUN_PREVIEW, RUN_SET_WALLPAPER, RUN_NONE };

struct RunChoice {
  RunMode mode;
  // The window named after "c" or "p" in decimal; 0 when none was named or
  // the number does not fit a 32-bit handle.
  uint32_t window;
};

// The arguments are null when the command line holds fewer. The screen-saver
// host passes "/c:1234" or "/c 1234" for its Settings button and "/p 1234"
// or "/p1234" for its preview monitor; a "c" with a number that names no
// window still configures, a "p" without one ends. "w" sets the wallpaper
// to the path that is the second argument, and ends without one: the saver
// starts itself so from a desktop where the wallpaper cannot be set.
RunChoice ChooseRunMode(const char* argument1, const char* argument2);
