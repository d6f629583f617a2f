// Where a picture's detail is, cheaply: not faces or things, only where its
// brightness changes most. The slow drift of a picture zooms in there.
#pragma once

#include <cstddef>
#include <cstdint>

struct DetailPoint { double x, y; };  // fractions 0..1 of the width and height

// The centre of the 4 x 4 cells of an 8 x 8 grid over the picture whose luminance changes most between
// neighbouring pixels, sampled a few pixels apart. `width` x `height` 32-bit pixels (blue, green, red, unused), top
// row first: row r begins `r * stride` pixels (not bytes) after `pixels`, so a bottom-up picture is walked from its
// top (last) row with a negative stride. A flat picture, or a size below 1, gives the centre (0.5, 0.5).
DetailPoint FindDetail(const uint32_t* pixels, int width, int height, ptrdiff_t stride);
