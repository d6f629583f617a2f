// The rota over monitors of each shape, in order and shuffled: pairs, every picture once a round, a restart going on
// after the record; what a monitor chooses; two pictures side by side; a picture's shape from its file's header.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>

#include "picture/paint_geometry.h"
#include "saver/picture_rota.h"
#include "saver/show_order.h"
#include "unit/bmp_writer.h"

namespace {

Shape Of(char c) { return c == 'L' ? Shape::kLandscape : c == 'P' ? Shape::kPortrait : Shape::kUnknown; }

// What monitors of the shapes `monitors` take in turn ("1+2 " a pair; the numbers also to `taken`), picture n being
// of shape shapes[n - 1] (repeated). After each turn a rota made anew from the record goes on after the last taken.
std::string Show(SaverSettings s, const char* monitors, const char* shapes, bool pair, int turns, std::vector<int>* taken) {
  BeginShow(&s, 1);
  PictureRota rota(s);
  std::string out;
  for (int t = 0, n[kRotaWindow], again[kRotaWindow]; t < turns; ++t) {
    const RotaChoice c = ChoosePictures(rota.Candidates(n), Of(monitors[t % strlen(monitors)]), strchr(monitors, 'L') && strchr(monitors, 'P'),
                                        pair, [&](int i) { return Of(shapes[(n[i] - 1) % strlen(shapes)]); });
    rota.Take(c, &s);
    for (int i : {c.first, c.second})
      if (i >= 0) taken->push_back(n[i]), out += std::to_string(n[i]) + (i == c.first && c.second >= 0 ? "+" : " ");
    SaverSettings restart = s;
    BeginShow(&restart, 2);
    EXPECT_TRUE(PictureRota(restart).Candidates(again) && again[0] == NextPicture(s)) << out;
  }
  return out;
}

TEST(PictureRota, MonitorsTakeTurns) {
  const struct { const char *monitors, *shapes; bool pair; int count; std::string shown; } cases[] = {
      {"LL", "LPPL", false, 5, "1 2 3 4 5 1 "}, {"LLP", "PLLLLP", false, 6, "2 3 1 4 5 6 2 "}, {"LP", "P?LP", false, 4, "2 1 3 4 2 "},
      {"PL", "LLLLLLLP", false, 9, "8 1 "}, {"L", "PPLLP", true, 5, "1+2 3 4 5 1+2 "}, {"LP", "PPPL", true, 8, "4 1 8 2 3+5 6 7 1 "},
      {"L", "PLPP", true, 4, "1 2 3+4 "}};
  std::vector<int> taken;
  for (const auto& c : cases) {
    SaverSettings s{};
    s.PictureCount = c.count, s.CurrentPicture = -1;  // outside the collection: from picture 1
    EXPECT_EQ(c.shown, Show(s, c.monitors, c.shapes, c.pair, int(std::count(c.shown.begin(), c.shown.end(), ' ')), &taken));
  }
  // Of one shape, the show's own order; of both, with pairs, every picture once in each of the first two rounds.
  for (int shuffle : {0, 1})
    for (int count : {1, 2, 7, 50}) {
      SaverSettings s{}, t{};
      s.Shuffle = t.Shuffle = shuffle, s.PictureCount = t.PictureCount = count;
      std::string order;
      for (int i = (BeginShow(&t, 1), 0); i < 2 * count; ++i) TurnToNextPicture(&t), order += std::to_string(t.CurrentPicture) + " ";
      EXPECT_EQ(order, Show(s, "LL", "L", false, 2 * count, &taken));
      Show(s, "PLL", "PLP?LPPP", true, 2 * count, &(taken = {}));
      std::sort(taken.begin(), taken.begin() + count), std::sort(taken.begin() + count, taken.begin() + 2 * count);
      for (int i = 0; i < 2 * count; ++i) ASSERT_EQ(i % count + 1, taken[i]) << shuffle << " " << count;
    }
}

// The rectangles of a, then of b: left, top, right, bottom.
TEST(PictureRota, PlacePair) {
  const struct { int cx, cy; SIZE a, b; BOOL stretch; std::vector<long> r; } cases[] = {
      {800, 600, {300, 400}, {300, 400}, TRUE, {0, 36, 396, 564, 404, 36, 800, 564}},       // the gap: 8
      {1366, 800, {200, 400}, {300, 300}, FALSE, {376, 200, 576, 600, 590, 200, 990, 600}},  // the gap: 13.66, 14
      {800, 600, {100, 200}, {50, 100}, FALSE, {296, 200, 396, 400, 404, 200, 504, 400}},   // not blown up
      {100, 1000, {3, 10}, {3, 10}, TRUE, {0, 418, 49, 582, 50, 418, 99, 582}},             // 165 high: 101 wide
      {3, 5, {1, 2}, {1, 2}, TRUE, {0, 1, 1, 3, 2, 1, 3, 3}}, {2, 5, {1, 1}, {1, 1}, TRUE, {0, 0, 0, 0, 0, 0, 0, 0}},  // too narrow
      {800, 600, {0, 200}, {50, 100}, TRUE, {0, 0, 0, 0, 0, 0, 0, 0}}, {0, 600, {1, 1}, {1, 1}, TRUE, {0, 0, 0, 0, 0, 0, 0, 0}}};
  for (const auto& c : cases) {
    RECT a, b;
    PlacePair(c.cx, c.cy, c.a, c.b, c.stretch, &a, &b);
    EXPECT_EQ(c.r, std::vector<long>({a.left, a.top, a.right, a.bottom, b.left, b.top, b.right, b.bottom})) << c.cx << "x" << c.cy;
  }
}

// BMP files written here (none for a height of 0), and a JPEG stored 200 x 320 and turned by EXIF orientation 6.
TEST(PictureShape, FromTheHeader) {
  const struct { const char* name; int width, height; Shape shape; long cx, cy; } cases[] = {
      {"portrait.bmp", 1, 2, Shape::kPortrait, 1, 2}, {"top-down.bmp", 3, -3, Shape::kLandscape, 3, 3},
      {"no-width.bmp", 0, 5, Shape::kUnknown, 0, 0}, {"too-wide.bmp", 32769, 1, Shape::kUnknown, 0, 0},
      {"missing.bmp", 1, 0, Shape::kUnknown, 0, 0}, {LUMARO_TEST_DATA "/photos/orientation_6.jpg", 0, 0, Shape::kLandscape, 320, 200}};
  for (const auto& c : cases) {
    const std::string path = strchr(c.name, '/') ? c.name : ::testing::TempDir() + "lumaro-shape-" + c.name;
    BmpFile bmp;
    bmp.width = c.width, bmp.height = c.height;
    const std::vector<uint8_t> bytes = bmp.Bytes();
    if (c.height) std::ofstream(path, std::ios::binary) << std::string(bytes.begin(), bytes.end());
    const PictureShape s = ReadPictureShape(path.c_str());
    EXPECT_EQ(std::vector<long>({long(c.shape), c.cx, c.cy}), std::vector<long>({long(s.shape), s.size.cx, s.size.cy})) << c.name;
    if (c.height) remove(path.c_str());
  }
  for (const SIZE size : {SIZE{0, 5}, SIZE{5, 0}}) EXPECT_EQ(Shape::kUnknown, ShapeOf(size.cx, size.cy));
}

}  // namespace
