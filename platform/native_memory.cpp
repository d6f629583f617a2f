#include <cstdlib>

#include "platform/win.h"

// A "movable" block never moves here: the handle is the block's address,
// so locking only hands it back.

HGLOBAL GlobalAlloc(UINT, size_t bytes) {
  // malloc(0) may give null, which would read as a failure.
  return malloc(bytes ? bytes : 1);
}

LPVOID GlobalLock(HGLOBAL mem) { return mem; }

BOOL GlobalUnlock(HGLOBAL) { return FALSE; }  // no lock is left held

HGLOBAL GlobalFree(HGLOBAL mem) {
  free(mem);
  return nullptr;
}
