#include "picture/bmp_masks.h"

#include <vector>

namespace {

int LowestBit(uint32_t mask) {
  int shift = 0;
  while (mask && !(mask & 1)) mask >>= 1, ++shift;
  return shift;
}

// One run of 1 to 16 set bits.
bool OneShortRun(uint32_t mask) {
  if (!mask) return false;
  const uint32_t run = mask >> LowestBit(mask);
  return (run & (run + 1)) == 0 && run <= 0xFFFF;
}

// A channel's values found by table: at most 65,536 entries, and no division per pixel.
struct Channel {
  explicit Channel(uint32_t m) : mask(m), shift(LowestBit(m)) {
    const uint32_t max = mask >> shift;
    for (uint32_t v = 0; mask && v <= max; ++v) scale.push_back(uint8_t((v * 255 + max / 2) / max));
  }
  uint8_t operator()(uint32_t pixel) const { return scale[(pixel & mask) >> shift]; }
  uint32_t mask;
  int shift;
  std::vector<uint8_t> scale;
};

// Colour times alpha over 255, rounded, without a division.
uint8_t OverBlack(unsigned colour, unsigned alpha) {
  const unsigned product = colour * alpha + 128;
  return uint8_t((product + (product >> 8)) >> 8);
}

}  // namespace

bool MasksUsable(const PixelMasks& masks, int bitCount) {
  if (bitCount != 16 && bitCount != 32) return false;
  const uint64_t pixel = (uint64_t(1) << bitCount) - 1;
  uint64_t seen = 0;
  const uint32_t all[] = {masks.red, masks.green, masks.blue, masks.alpha};
  for (int i = 0; i < 4; ++i) {
    const uint32_t mask = all[i];
    if (i == 3 && !mask) break;  // no alpha
    if (!OneShortRun(mask) || (seen & mask) || (mask & ~pixel)) return false;
    seen |= mask;
  }
  return true;
}

void UnmaskPixels(uint8_t* pixels, int width, int height, size_t rowBytes, int bitCount, const PixelMasks& masks) {
  const size_t outRowBytes = size_t(width) * 4;
  // The usual 8-8-8 masks at 32 bits are already in place, the alpha too when it is the top byte.
  const bool inPlace = bitCount == 32 && masks.red == 0xFF0000 && masks.green == 0xFF00 && masks.blue == 0xFF &&
                       (masks.alpha == 0 || masks.alpha == 0xFF000000u);
  uint8_t anyAlpha = 0;
  if (inPlace) {
    for (size_t i = 3; masks.alpha && i < outRowBytes * size_t(height); i += 4) anyAlpha |= pixels[i];
  } else {
    const Channel red(masks.red), green(masks.green), blue(masks.blue), alpha(masks.alpha);
    // From the last pixel back: a pixel's 4 bytes never start before where its own masked value was, and
    // every value not yet read lies before that.
    for (int row = height - 1; row >= 0; --row) {
      const uint8_t* in = pixels + size_t(row) * rowBytes;
      uint8_t* out = pixels + size_t(row) * outRowBytes;
      for (int x = width - 1; x >= 0; --x) {
        const uint8_t* p = in + size_t(x) * (bitCount / 8);
        const uint32_t v = bitCount == 16 ? uint32_t(p[0] | p[1] << 8)
                                          : uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
        uint8_t* o = out + size_t(x) * 4;
        o[0] = blue(v), o[1] = green(v), o[2] = red(v), o[3] = masks.alpha ? alpha(v) : 0;
        anyAlpha |= o[3];
      }
    }
  }
  if (!anyAlpha) return;
  for (uint8_t *p = pixels, *end = pixels + outRowBytes * size_t(height); p < end; p += 4)
    p[0] = OverBlack(p[0], p[3]), p[1] = OverBlack(p[1], p[3]), p[2] = OverBlack(p[2], p[3]);
}
