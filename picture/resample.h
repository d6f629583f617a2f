// Resizing of pictures held as rows of bytes, blue, green and red first in
// each pixel: each target pixel averages the source area it covers when
// shrinking, and interpolates linearly between the nearest source pixels
// when enlarging.
#pragma once

#include <cstdint>

// Gives source row `row` (asked for once each, in increasing order) as
// `channels` bytes a pixel, the fourth of four ignored. It returns either
// a pointer into the picture itself or `scratch`, filled: room for one row,
// left alone until the resampler has finished with that row.
typedef const uint8_t* (*SourceRowReader)(void* context, int row, uint8_t* scratch);

// Fills `target` with `targetWidth` x `targetHeight` 32-bit pixels (blue,
// green, red, zero), rows packed tightly and in the source's order, from a
// `width` x `height` source of 3 or 4 channels. false, with the target
// untouched, for a size outside 1..32768, when the source rows one target row
// needs would take over 256 MiB, or when memory runs out.
bool ResamplePixels(int width, int height, int channels, SourceRowReader read, void* context,
                    uint32_t* target, int targetWidth, int targetHeight);
