#include "picture/blend.h"

void BlendPixels(const uint32_t* from, const uint32_t* to, uint32_t* out, size_t count, int level) {
  // Weights of 0 to 128 keep each byte's step, (to - from) x weight, within
  // 16 signed bits, so the compiler mixes eight bytes in one vector multiply;
  // the ends stay exact: weight 0 adds nothing and 128 the whole step.
  const int16_t weight = int16_t((level < 0 ? 0 : level > 256 ? 256 : level) / 2);
  const uint8_t* f = reinterpret_cast<const uint8_t*>(from);
  const uint8_t* t = reinterpret_cast<const uint8_t*>(to);
  uint8_t* o = reinterpret_cast<uint8_t*>(out);
  for (size_t i = 0; i < count * 4; ++i) {
    const int16_t step = int16_t(int16_t(t[i] - f[i]) * weight);
    o[i] = uint8_t(f[i] + (step >> 7));
  }
}
