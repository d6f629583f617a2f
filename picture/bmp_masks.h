// Pixels whose channels sit under bit masks (BI_BITFIELDS, BI_ALPHABITFIELDS): the masks checked, and the
// pixels widened in place to the 32-bit blue-green-red that everything after the loader draws.
#pragma once

#include <cstddef>
#include <cstdint>

struct PixelMasks {
  uint32_t red, green, blue, alpha;  // an alpha of 0: no alpha channel
};

// True when the masks can be read: each colour mask one run of 1 to 16 bits, the alpha mask none or the same,
// no two overlapping, all within a pixel of `bitCount` (16 or 32) bits.
bool MasksUsable(const PixelMasks& masks, int bitCount);

// Turns `height` rows of `width` masked pixels, `rowBytes` apart from `pixels` on, into packed 32-bit pixels
// from `pixels` on, in place: the buffer must hold width x height x 4 bytes. Each channel is scaled to 8 bits
// as v * 255 / max, rounded. An alpha channel is applied over black, as a transparent photo is, unless every
// pixel's alpha is 0: writers that leave the channel unused write zeros.
void UnmaskPixels(uint8_t* pixels, int width, int height, size_t rowBytes, int bitCount, const PixelMasks& masks);
