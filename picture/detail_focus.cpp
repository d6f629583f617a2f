#include "picture/detail_focus.h"

#include <algorithm>

namespace {

const int kCells = 8;    // the grid's side
const int kWindow = 4;   // the window's side, in cells
const int kSamples = 256;  // about this many points across each side: a big photo costs well under 1 ms

int Luminance(uint32_t p) { return (int(p >> 16 & 0xFF) * 77 + int(p >> 8 & 0xFF) * 150 + int(p & 0xFF) * 29) >> 8; }

}  // namespace

DetailPoint FindDetail(const uint32_t* pixels, int width, int height, ptrdiff_t stride) {
  DetailPoint at = {0.5, 0.5};
  if (!pixels || width < 1 || height < 1) return at;
  int64_t energy[kCells][kCells] = {};
  const int stepX = std::max(1, width / kSamples), stepY = std::max(1, height / kSamples);
  for (int row = 0; row < height; row += stepY) {
    // Each sample compares its pixel with the next across and the next down,
    // so detail finer than the sampling still counts.
    const uint32_t* line = pixels + row * stride;
    const uint32_t* below = pixels + std::min(row + 1, height - 1) * stride;
    int64_t* cells = energy[int64_t(row) * kCells / height];
    for (int col = 0; col < width; col += stepX) {
      const int here = Luminance(line[col]);
      const int across = Luminance(line[std::min(col + 1, width - 1)]) - here, down = Luminance(below[col]) - here;
      cells[int64_t(col) * kCells / width] += across * across + down * down;
    }
  }
  int64_t best = 0;
  for (int top = 0; top + kWindow <= kCells; ++top)
    for (int left = 0; left + kWindow <= kCells; ++left) {
      int64_t sum = 0;
      for (int r = top; r < top + kWindow; ++r)
        for (int c = left; c < left + kWindow; ++c) sum += energy[r][c];
      if (sum > best) best = sum, at = {(left + kWindow / 2.0) / kCells, (top + kWindow / 2.0) / kCells};
    }
  return at;
}
