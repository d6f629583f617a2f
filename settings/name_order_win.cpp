#include "settings/name_order.h"

#include <windows.h>
#include <shlwapi.h>

int CompareNamesLogically(const wchar_t* a, const wchar_t* b) { return StrCmpLogicalW(a, b); }
