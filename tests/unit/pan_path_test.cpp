#include <gtest/gtest.h>

#include <cmath>

#include "picture/detail_focus.h"
#include "saver/pan_path.h"

TEST(PanPath, EndsInsideAndPaced) {  // a picture's drift every 10 ms, its focus near the bottom left
  const struct { const char* name; int rw, rh, pw, ph, sw, sh, place, ms; bool fade; PanView from, to; } rows[] = {
      {"in on even, to the focus kept inside", 1920, 1080, 1600, 900, 1920, 1080, 0, 20000, true, {.5, .5, 1}, {.44643, .55357, 1.12}},
      {"out on odd, eased, short on a tall screen", 1080, 1920, 1080, 1920, 1080, 1920, 1, 3000, false, {.48115, .51885, 1.0404}, {.5, .5, 1}},
      {"panorama, odd, eased: back across at one zoom", 1920, 640, 3000, 1000, 1920, 1080, 1, 20000, false, {.5283, .5, 1.06}, {.4717, .5, 1.06}},
      {"portrait, odd: out from its top row", 600, 1080, 1000, 1800, 1920, 1080, 3, 20000, false, {.5, .4717, 1.06}, {.5, .5, 1}}};
  for (const auto& r : rows) {
    const PanPath path = PlanPan(r.rw, r.rh, r.pw, r.ph, r.sw, r.sh, r.place, {0.05, 0.95}, r.ms, r.fade);
    for (const auto& [got, want] : {std::pair{ViewAt(path, -9, r.ms), r.from}, {ViewAt(path, r.ms + 9, r.ms), r.to}})
      EXPECT_LT(std::abs(got.x - want.x) + std::abs(got.y - want.y) + std::abs(got.zoom - want.zoom), 1e-4) << r.name << ": " << got.x << ", " << got.y << " x" << got.zoom;
    for (int ms = 10; ms <= r.ms; ms += 10) {
      const PanView a = ViewAt(path, ms - 10, r.ms), b = ViewAt(path, ms, r.ms);
      const double zoom = std::abs(std::log(b.zoom / a.zoom)) * 100 / std::log(1.02);  // shares of the caps
      const double pan = std::hypot((b.x - a.x) * r.rw, (b.y - a.y) * r.rh) * std::fmax(a.zoom, b.zoom) * 100 / (0.02 * r.sw);
      EXPECT_TRUE(std::fmin(std::fmin(b.x, 1 - b.x), std::fmin(b.y, 1 - b.y)) - 0.5 / b.zoom > -1e-12 && (b.zoom - a.zoom) * (r.to.zoom - r.from.zoom) >= 0 &&
                  pan < 1 + 1e-9 && zoom < 1 + 1e-9 && (r.fade || (ms > 10 && ms < r.ms) || pan + zoom < 0.05)) << r.name << " at " << ms << ": " << pan << ", " << zoom;
    }
  }
}

TEST(DetailFocus, TheDetailedQuarter) {  // a striped quarter of a grey picture
  const struct { const char* name; int qx, qy; bool bottomUp; uint32_t ink; int across, down; } rows[] = {  // ink: one colour off the grey
      {"top left, red checks", 0, 0, false, 0xFF8080, 1, 1}, {"top right, bottom-up, green down", 1, 0, true, 0x80FF80, 0, 1},
      {"bottom left, blue across", 0, 1, false, 0x8080FF, 1, 0}, {"bottom right, bottom-up", 1, 1, true, 0xFFFFFF, 1, 1}};
  for (const auto& r : rows) {
    const int w = 1201, h = 601;  // the last row and column sampled
    std::vector<uint32_t> pixels(w * h, 0x808080);
    for (int i = 0; i < w * h; ++i)  // counting rows from the top
      if (i % w * 2 / w == r.qx && i / w * 2 / h == r.qy && (i % w * r.across + i / w * r.down) & 1) pixels[r.bottomUp ? (h - 1 - i / w) * w + i % w : i] = r.ink;
    const DetailPoint at = FindDetail(r.bottomUp ? &pixels[(h - 1) * w] : pixels.data(), w, h, r.bottomUp ? -w : w);
    EXPECT_TRUE(at.x == .25 + .5 * r.qx && at.y == .25 + .5 * r.qy) << r.name << ": " << at.x << ", " << at.y;
  }
}
