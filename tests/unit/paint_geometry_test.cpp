#include <gtest/gtest.h>

#include <vector>

#include "picture/paint_geometry.h"
#include "picture/palette_entries.h"

namespace {

TEST(PaintGeometry, PictureExamples) {
  const struct {
    const char* name;
    int cx, cy, width, height;
    BOOL stretch;
    PaintPlacement expected;  // destination x, y, cx, cy, then source
  } cases[] = {
      {"320x200 centred in 640x480", 640, 480, 320, 200, FALSE, {160, 140, 320, 200, 0, 0, 320, 200}},
      {"301 wide: the odd pixel goes right", 640, 480, 301, 200, FALSE, {169, 140, 301, 200, 0, 0, 301, 200}},
      {"the window's own size", 640, 480, 640, 480, FALSE, {0, 0, 640, 480, 0, 0, 640, 480}},
      {"larger: its middle, uncropped", 640, 480, 1000, 600, FALSE, {0, 0, 640, 480, 180, 60, 640, 480}},
      {"only wider, odd excess", 640, 480, 641, 100, FALSE, {0, 190, 640, 100, 0, 0, 640, 100}},
      {"only taller", 640, 480, 100, 1480, FALSE, {270, 0, 100, 480, 0, 500, 100, 480}},
      {"stretched up", 640, 480, 320, 200, TRUE, {0, 0, 640, 480, 0, 0, 320, 200}},
      {"stretched down", 640, 480, 4000, 3000, TRUE, {0, 0, 640, 480, 0, 0, 4000, 3000}},
      {"empty window", 0, -5, 320, 200, FALSE, {0, 0, 0, 0, 160, 100, 0, 0}},
  };
  for (const auto& c : cases) {
    const PaintPlacement p = PlacePicture(c.cx, c.cy, c.width, c.height, c.stretch), &e = c.expected;
    EXPECT_EQ((std::vector<int>{e.xDest, e.yDest, e.cxDest, e.cyDest, e.xSrc, e.ySrc, e.cxSrc, e.cySrc}),
              (std::vector<int>{p.xDest, p.yDest, p.cxDest, p.cyDest, p.xSrc, p.ySrc, p.cxSrc, p.cySrc}))
        << c.name;
  }
}

TEST(PaintGeometry, TitleAtTheTopCentredAndInsideTheWindow) {
  const struct {
    const char* name;
    int cx, cy, textWidth, textHeight;
    RECT expected;
  } cases[] = {
      {"fits: (640 - 201) / 2", 640, 480, 201, 20, {219, 0, 420, 20}},
      {"wider than the window", 640, 480, 900, 20, {0, 0, 640, 20}},
      {"taller than the window", 640, 30, 100, 60, {270, 0, 370, 30}},
      {"both", 100, 10, 500, 50, {0, 0, 100, 10}},
      {"empty title", 640, 480, 0, 0, {320, 0, 320, 0}},
      {"empty window", 0, 0, 50, 20, {0, 0, 0, 0}},
      {"negative measure", 640, 480, -10, -3, {320, 0, 320, 0}},
  };
  for (const auto& c : cases) {
    const RECT r = PlaceTitle(c.cx, c.cy, c.textWidth, c.textHeight);
    const RECT& e = c.expected;
    EXPECT_EQ((std::vector<LONG>{e.left, e.top, e.right, e.bottom}),
              (std::vector<LONG>{r.left, r.top, r.right, r.bottom})) << c.name;
  }
}

TEST(PaintGeometry, PaletteEntriesSwapBlueAndRedAndDropTheReservedByte) {
  const RGBQUAD table[2] = {{0x10, 0x20, 0x30, 0x40}, {0xFF, 0x00, 0x80, 0xFF}};
  PALETTEENTRY entries[3] = {};
  entries[2].peRed = 0x77;
  FillPaletteEntries(table, 2, entries);
  // Only `count` entries are written.
  EXPECT_EQ((std::vector<int>{0x30, 0x20, 0x10, 0, 0x80, 0x00, 0xFF, 0, 0x77}),
            (std::vector<int>{entries[0].peRed, entries[0].peGreen, entries[0].peBlue, entries[0].peFlags,
                              entries[1].peRed, entries[1].peGreen, entries[1].peBlue, entries[1].peFlags,
                              entries[2].peRed}));
}

}  // namespace
