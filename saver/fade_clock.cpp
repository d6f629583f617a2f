#include "saver/fade_clock.h"

#include <algorithm>
#include <cstdint>

int FadeMilliseconds(int fade, int changeDelay) {
  if (!fade || changeDelay <= 0) return 0;
  return int(std::min<int64_t>(1000, int64_t(changeDelay) * 1000 / 2));
}

int FadeLevel(DWORD elapsed, int length) {
  if (length <= 0 || elapsed >= DWORD(length)) return 256;
  return int(int64_t(elapsed) * 256 / length);
}
