// Two 32-bit pictures mixed pixel by pixel: the frames of a fade.
#pragma once

#include <cstddef>
#include <cstdint>

// out = from + (to - from) * level / 256 in each of a pixel's four bytes, for
// `count` pixels; level 0 gives `from` and 256 gives `to` exactly. `out` may
// be either input.
void BlendPixels(const uint32_t* from, const uint32_t* to, uint32_t* out, size_t count, int level);
