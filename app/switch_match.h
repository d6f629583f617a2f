// The command-line switch and the run mode it chooses.
#pragma once

#include "platform/win.h"

// TRUE when `argument`, after at most one leading '-' or '/', equals `name`
// without regard to case.
BOOL MatchSwitch(const char* argument, const char* name);

enum RunMode { RUN_CONFIGURE, RUN_SLIDESHOW, RUN_NONE };

// argument1 is null when the command line holds no argument.
RunMode ChooseRunMode(const char* argument1);
