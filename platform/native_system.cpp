#include <strings.h>

#include "platform/win.h"

int lstrcmpiA(LPCSTR a, LPCSTR b) { return strcasecmp(a, b); }
BOOL SystemParametersInfoA(UINT, UINT, PVOID, UINT) { return TRUE; }
