#include <gtest/gtest.h>

#include "picture/paint_geometry.h"
#include "picture/palette_entries.h"

namespace {

void ExpectPlacement(const PaintPlacement& p, int xDest, int yDest, int cxDest, int cyDest, int xSrc,
                     int ySrc, int cxSrc, int cySrc) {
  EXPECT_EQ(xDest, p.xDest);
  EXPECT_EQ(yDest, p.yDest);
  EXPECT_EQ(cxDest, p.cxDest);
  EXPECT_EQ(cyDest, p.cyDest);
  EXPECT_EQ(xSrc, p.xSrc);
  EXPECT_EQ(ySrc, p.ySrc);
  EXPECT_EQ(cxSrc, p.cxSrc);
  EXPECT_EQ(cySrc, p.cySrc);
}

TEST(PlacePicture, CentredPicturesThatFitAreDrawnOneToOne) {
  {
    SCOPED_TRACE("320x200 in 640x480");
    ExpectPlacement(PlacePicture(640, 480, 320, 200, FALSE), 160, 140, 320, 200, 0, 0, 320, 200);
  }
  {
    SCOPED_TRACE("301 wide: the odd pixel goes right");
    EXPECT_EQ(169, PlacePicture(640, 480, 301, 200, FALSE).xDest);
  }
  {
    SCOPED_TRACE("exactly the window's size");
    ExpectPlacement(PlacePicture(640, 480, 640, 480, FALSE), 0, 0, 640, 480, 0, 0, 640, 480);
  }
}

TEST(PlacePicture, CentredLargerPicturesShowTheirMiddleUncropped) {
  {
    SCOPED_TRACE("wider and taller");
    ExpectPlacement(PlacePicture(640, 480, 1000, 600, FALSE), 0, 0, 640, 480, 180, 60, 640, 480);
  }
  {
    SCOPED_TRACE("only wider, odd excess");
    ExpectPlacement(PlacePicture(640, 480, 641, 100, FALSE), 0, 190, 640, 100, 0, 0, 640, 100);
  }
  {
    SCOPED_TRACE("only taller");
    ExpectPlacement(PlacePicture(640, 480, 100, 1480, FALSE), 270, 0, 100, 480, 0, 500, 100, 480);
  }
}

TEST(PlacePicture, StretchedCoversTheWindowWithTheWholePicture) {
  ExpectPlacement(PlacePicture(640, 480, 320, 200, TRUE), 0, 0, 640, 480, 0, 0, 320, 200);
  ExpectPlacement(PlacePicture(640, 480, 4000, 3000, TRUE), 0, 0, 640, 480, 0, 0, 4000, 3000);
}

TEST(PlacePicture, EmptyWindowDrawsNothing) {
  PaintPlacement p = PlacePicture(0, -5, 320, 200, FALSE);
  EXPECT_EQ(0, p.cxDest);
  EXPECT_EQ(0, p.cyDest);
}

TEST(PlaceTitle, CentredAtTheTopEdge) {
  RECT r = PlaceTitle(640, 480, 201, 20);
  EXPECT_EQ(219, r.left);  // (640 - 201) >> 1
  EXPECT_EQ(0, r.top);
  EXPECT_EQ(420, r.right);
  EXPECT_EQ(20, r.bottom);
}

TEST(PlaceTitle, NeverBeyondTheWindow) {
  struct Case {
    const char* name;
    int cx, cy, tw, th;
  } cases[] = {{"wider than the window", 640, 480, 900, 20},
               {"taller than the window", 640, 30, 100, 60},
               {"both", 100, 10, 500, 50},
               {"empty title", 640, 480, 0, 0},
               {"empty window", 0, 0, 50, 20},
               {"negative measure", 640, 480, -10, -3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RECT r = PlaceTitle(c.cx, c.cy, c.tw, c.th);
    EXPECT_GE(r.left, 0);
    EXPECT_EQ(0, r.top);
    EXPECT_LE(r.left, r.right);
    EXPECT_LE(r.right, c.cx < 0 ? 0 : c.cx);
    EXPECT_GE(r.bottom, 0);
    EXPECT_LE(r.bottom, c.cy < 0 ? 0 : c.cy);
  }
  RECT wide = PlaceTitle(640, 480, 900, 20);
  EXPECT_EQ(0, wide.left);
  EXPECT_EQ(640, wide.right);
}

TEST(FillPaletteEntries, SwapsBlueAndRedAndDropsTheReservedByte) {
  const RGBQUAD table[2] = {{0x10, 0x20, 0x30, 0x40}, {0xFF, 0x00, 0x80, 0xFF}};
  PALETTEENTRY entries[3] = {};
  entries[2].peRed = 0x77;
  FillPaletteEntries(table, 2, entries);
  EXPECT_EQ(0x30, entries[0].peRed);
  EXPECT_EQ(0x20, entries[0].peGreen);
  EXPECT_EQ(0x10, entries[0].peBlue);
  EXPECT_EQ(0, entries[0].peFlags);
  EXPECT_EQ(0x80, entries[1].peRed);
  EXPECT_EQ(0xFF, entries[1].peBlue);
  EXPECT_EQ(0, entries[1].peFlags);
  EXPECT_EQ(0x77, entries[2].peRed) << "only count entries are written";
}

}  // namespace
