// Resizing: area averages when shrinking, linear steps when enlarging.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "picture/resample.h"

namespace {

struct Plane {
  int width;
  std::vector<uint32_t> pixels;
};

const uint8_t* ReadPlane(void* context, int row, uint8_t*) {
  const Plane& p = *static_cast<const Plane*>(context);
  return reinterpret_cast<const uint8_t*>(&p.pixels[size_t(row) * p.width]);
}

std::vector<uint32_t> Resample(Plane source, int width, int height) {
  std::vector<uint32_t> out(size_t(width) * height, 0xDEADBEEF);
  const int rows = int(source.pixels.size()) / source.width;
  EXPECT_TRUE(ResamplePixels(source.width, rows, 4, ReadPlane, &source, out.data(), width, height));
  return out;
}

int Channel(uint32_t pixel, int shift) { return int(pixel >> shift & 0xFF); }

TEST(Resample, CheckerboardAndSizes) {
  Plane board{64, {}};
  for (int i = 0; i < 64 * 48; ++i) board.pixels.push_back((i + i / 64) % 2 ? 0xFF0000 : 0xFFFFFF);
  for (uint32_t p : Resample(board, 32, 24))  // red and white halved: an even pink
    EXPECT_TRUE(Channel(p, 16) == 255 && std::abs(Channel(p, 8) - 128) <= 3 && std::abs(Channel(p, 0) - 128) <= 3) << p;
  EXPECT_EQ(32768u, Resample(Plane{1, {0}}, 32768, 1).size());
  uint32_t untouched = 7;
  Plane one{1, {0}};
  for (int bad : {0, -1, 32769})
    EXPECT_FALSE(ResamplePixels(1, 1, 4, ReadPlane, &one, &untouched, bad, 1) || untouched != 7) << bad;
  EXPECT_FALSE(ResamplePixels(1, 1, 2, ReadPlane, &one, &untouched, 1, 1)) << "2 channels";
  // 32768 rows of 128 KiB into one: the ring of source rows would pass the bound of a picture; nothing is read.
  EXPECT_FALSE(ResamplePixels(32768, 32768, 4, ReadPlane, &one, &untouched, 1, 1) || untouched != 7);
}

// Grey levels through uneven ratios, across a row and down a column; a ramp keeps its ends.
TEST(Resample, ExactAreasAndDistances) {
  const std::pair<std::vector<uint32_t>, std::vector<int>> cases[] = {
      {{0, 255, 0}, {85, 85}},         {{30, 60, 90}, {60}},         {{0, 50, 100, 150, 200}, {40, 160}},
      {{0, 50, 100, 150, 200}, {20, 100, 180}}, {{0, 10, 20, 30, 40, 50, 60}, {7, 30, 53}}, {{60, 240}, {60, 150, 240}},
      {{0, 64, 255}, {0, 64, 255}}, {{0, 255}, {0, 0, 85, 170, 255, 255}},
      {[] { std::vector<uint32_t> v(20000, 0); return v[0] = 255, v; }(), {0}}};  // one bright pixel in 20,000
  for (const auto& [source, expected] : cases) {
    Plane plane{1, {}};
    for (uint32_t v : source) plane.pixels.push_back(v * 0x010101);
    const int n = int(expected.size());
    std::vector<int> down, across;
    for (uint32_t p : Resample(plane, 1, n)) down.push_back(Channel(p, 0));
    plane.width = int(source.size());
    for (uint32_t p : Resample(plane, n, 1)) across.push_back(Channel(p, 16));
    EXPECT_EQ(expected, down) << source.size() << " to " << n;
    EXPECT_EQ(expected, across) << source.size() << " to " << n;
  }
}

}  // namespace
