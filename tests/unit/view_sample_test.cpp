// Panned and zoomed views: copies, averages, clamped edges, bottom-up sources, the vector path against the plain.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "picture/view_sample.h"

namespace {

const int64_t kOne = 1 << 16, kHalf = kOne / 2;

uint32_t Average(uint32_t a, uint32_t b) { return (a | b) - ((a ^ b) >> 1 & 0x7F7F7F7F); }  // (a + b + 1) / 2 a byte

// A 3 x 2 source, top row A B C, then D E F, drawn by both paths and stored top-down and bottom-up.
TEST(ViewSample, ExactCopiesAveragesAndEdges) {
  const uint32_t A = 0x10203040, B = 0x30405061, C = 0xFF000080, D = 0x000000FF, E = 0x80808080, F = 0x01010101;
  const struct {
    const char* name;
    ViewSampling view;
    int width, height;
    std::vector<uint32_t> expected;
    int srcWidth = 3, srcHeight = 2;
  } rows[] = {
      {"whole positions", {0, 0, kOne, kOne}, 3, 2, {A, B, C, D, E, F}},
      {"halves across, then the right edge", {0, kOne, kHalf, 0}, 6, 1, {D, Average(D, E), E, Average(E, F), F, F}},
      {"halves down, then the bottom edge", {kOne, 0, 0, kHalf}, 1, 3, {B, Average(B, E), E}},
      {"left and above", {-kHalf * 5, -kHalf, kOne, -kOne}, 4, 2, {A, A, A, Average(A, B), A, A, A, Average(A, B)}},
      {"huge steps both ways", {INT64_MIN, INT64_MAX, INT64_MAX, INT64_MIN}, 5, 2, {D, D, F, F, F, A, A, C, C, C}},
      {"single steps off the range's ends", {INT64_MAX - 1, INT64_MIN + 1, 1, -1}, 3, 1, {C, C, C}},
      {"a one-pixel source", {kHalf, kHalf, kOne, kOne}, 2, 1, {A, A}, 1, 1},
      {"no columns", {0, 0, kOne, kOne}, 1, 1, {7}, 0, 2}, {"no rows", {0, 0, kOne, kOne}, 1, 1, {7}, 3, 0},
      {"a negative view width", {0, 0, kOne, kOne}, -1, 1, {7}}, {"no view rows", {0, 0, kOne, kOne}, 1, 0, {7}},
  };
  const uint32_t pixels[] = {D, E, F, A, B, C, D, E, F};  // from its 4th: top-down rows 3, 6; bottom-up 3, 0
  for (const auto& r : rows)
    for (auto sample : {SampleView, SampleViewPlain})
      for (bool up : {false, true}) {
        std::vector<uint32_t> out(r.expected.size(), 7);
        sample(pixels + 3, r.srcWidth, r.srcHeight, up ? -3 : 3, out.data(), r.width, r.height, r.width, r.view);
        EXPECT_EQ(r.expected, out) << r.name << (sample == SampleView ? "" : ", plain") << (up ? ", bottom-up" : "");
      }
  uint32_t out = 7;
  SampleView(nullptr, 3, 2, 3, &out, 1, 1, 1, rows[0].view);
  EXPECT_EQ(7u, out) << "no source";
}

// Random pictures, positions and steps, some far beyond the source; padding beyond each row stays as it was.
TEST(ViewSample, VectorMatchesPlain) {
  std::mt19937_64 random(5);
  auto pick = [&](int64_t low, int64_t high) { return std::uniform_int_distribution<int64_t>(low, high)(random); };
  for (int round = 0; round < 400; ++round) {
    const int srcWidth = pick(1, 40), srcHeight = pick(1, 12), width = pick(0, 18) * 2 + 1, height = pick(1, 9);
    std::vector<uint32_t> src(size_t(srcWidth + 2) * srcHeight);
    for (uint32_t& p : src) p = uint32_t(random());
    ViewSampling view{pick(-3 * kOne, (srcWidth + 3) * kOne), pick(-3 * kOne, (srcHeight + 3) * kOne),
                      pick(-2 * kOne, 3 * kOne), pick(-2 * kOne, 3 * kOne)};
    if (round % 10 == 0) view = {int64_t(random()), int64_t(random()), int64_t(random()), int64_t(random())};
    std::vector<uint32_t> vector(size_t(width + 3) * height, 0xDEADBEEF), plain = vector;
    SampleView(src.data(), srcWidth, srcHeight, srcWidth + 2, vector.data(), width, height, width + 3, view);
    SampleViewPlain(src.data(), srcWidth, srcHeight, srcWidth + 2, plain.data(), width, height, width + 3, view);
    ASSERT_EQ(plain, vector) << "round " << round;
  }
}

}  // namespace
