// The order Explorer shows file names in: letters without regard to case,
// runs of digits by their value (IMG_2 before IMG_10).
#pragma once

// Below, equal to or above zero as `a` sorts before, with or after `b`.
// On Windows this is the system's own StrCmpLogicalW.
int CompareNamesLogically(const wchar_t* a, const wchar_t* b);
