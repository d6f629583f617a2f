// Resizes arbitrary pixels between arbitrary small sizes: each target pixel
// blends source pixels, so no channel may leave the source's range.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "picture/resample.h"

// Odd rows through the scratch row, even ones straight from the source.
static const uint8_t* Read(void* context, int row, uint8_t* scratch) {
  const std::vector<uint32_t>& rows = *static_cast<const std::vector<uint32_t>*>(context);
  const size_t width = rows[0];
  const uint8_t* p = reinterpret_cast<const uint8_t*>(&rows[1 + row * width]);
  return row % 2 ? static_cast<uint8_t*>(memcpy(scratch, p, width * 4)) : p;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 8) return 0;
  // Sizes up to 96, and now and then a wide target.
  const int w = 1 + data[0] % 96, h = 1 + data[1] % 96, tw = data[4] & 1 ? 1 + data[3] * 8 : 1 + data[3] % 96;
  const int th = 1 + data[2] % 96;
  std::vector<uint32_t> rows = {uint32_t(w)}, out(size_t(tw) * th);
  uint32_t low = 255, high = 0;
  for (size_t i = 0; i < size_t(w) * h; ++i) {
    const uint8_t* c = &data[5 + (i * 3) % (size - 7)];
    rows.push_back(c[0] | c[1] << 8 | uint32_t(c[2]) << 16 | 0xAB000000u);  // the fourth byte is ignored
    low = std::min({low, uint32_t(c[0]), uint32_t(c[1]), uint32_t(c[2])});
    high = std::max({high, uint32_t(c[0]), uint32_t(c[1]), uint32_t(c[2])});
  }
  if (!ResamplePixels(w, h, 4, Read, &rows, out.data(), tw, th)) abort();
  for (uint32_t p : out)
    if (p >> 24 || std::min({p & 255, p >> 8 & 255, p >> 16 & 255}) < low || std::max({p & 255, p >> 8 & 255, p >> 16 & 255}) > high)
      abort();
  return 0;
}
