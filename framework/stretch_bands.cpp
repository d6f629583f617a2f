#include "framework/stretch_bands.h"

namespace {
// n * num / den rounded half up; the 64 bits keep large layouts exact.
int Scale(int n, int num, int den) {
  return static_cast<int>((static_cast<long long>(n) * num * 2 + den) / (2LL * den));
}
}  // namespace

void PinnedBands(int size, int from, int to, int dstFrom, int dstTo, StretchBand bands[3]) {
  for (int i = 0; i < 3; i++) bands[i] = {0, 0, 0, 0};
  if (from < 0 || to > size || from >= to || dstTo <= dstFrom) return;
  const int part = to - from, target = dstTo - dstFrom;
  const int before = Scale(from, target, part), after = Scale(size - to, target, part);
  bands[0] = {0, from, dstFrom - before, before};
  bands[1] = {from, part, dstFrom, target};
  bands[2] = {to, size - to, dstTo, after};
}
