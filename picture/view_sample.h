// A picture seen through a view that pans and zooms by fractions of a pixel: one frame of a slow pan and zoom,
// sampled on the CPU from a prepared picture a little larger than the screen.
#pragma once

#include <cstddef>
#include <cstdint>

// Where a view's pixels come from in its source, in 1/65536 of a source pixel: destination pixel (i, j) shows
// the source at (x0 + i * dx, y0 + j * dy), where (0, 0) is the centre of the source's first pixel.
struct ViewSampling {
  int64_t x0, y0;
  int64_t dx, dy;
};

// Fills `dstWidth` x `dstHeight` 32-bit pixels (rows `dstStride` pixels apart) from a `srcWidth` x `srcHeight`
// source (rows `srcStride` pixels apart; a negative stride walks a bottom-up picture from its top row), each
// mixed from its four nearest source pixels; positions beyond the edges take the edge's pixels. Whole positions
// copy the source exactly. Uses SSE2 where the compiler targets it.
void SampleView(const uint32_t* src, int srcWidth, int srcHeight, ptrdiff_t srcStride, uint32_t* dst, int dstWidth,
                int dstHeight, ptrdiff_t dstStride, const ViewSampling& view);

// The same in plain C++, whatever the target: the reference the vector path must match bit for bit.
void SampleViewPlain(const uint32_t* src, int srcWidth, int srcHeight, ptrdiff_t srcStride, uint32_t* dst,
                     int dstWidth, int dstHeight, ptrdiff_t dstStride, const ViewSampling& view);
