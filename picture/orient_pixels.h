// Turning decoded pixels upright as a photo's EXIF orientation asks.
#pragma once

#include <cstdint>

// Orientations 5 to 8 swap width and height.
bool SwapsSides(int orientation);

// Copies a top-down `width` x `height` picture of 32-bit pixels into `target` as a bottom-up picture (the
// layout of a BI_RGB DIB with a positive height) turned upright as EXIF orientation `orientation` asks
// (1 to 8; any other value as 1). `target` holds width * height pixels; its width is `height` when
// SwapsSides(orientation).
void OrientPixels(const uint32_t* source, int width, int height, int orientation, uint32_t* target);
