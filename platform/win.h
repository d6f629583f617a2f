// The Win32 names the portable code uses. On Windows they are the real
// ones; natively, platform/native_win.h supplies stand-ins with the same
// names and the results the program relies on.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include "platform/native_win.h"
#endif
