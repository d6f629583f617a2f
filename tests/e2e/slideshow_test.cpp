// The full-screen slideshow at 640 x 480: placement, titles, every picture
// format, the picture cycle and what reaches the settings file.
#include <gtest/gtest.h>

#include <string>

#include "driver.h"

using namespace e2e;

namespace {

const COLORREF kRed = RGB(220, 30, 40);
const COLORREF kGrey = RGB(90, 90, 90);

// LUMARO.INI naming one collection "Test" stored at `collection`, with
// extra lines for its sections Main, ScreenSaver and Wallpaper.
std::string Settings(const std::string& collection, const std::string& main,
                     const std::string& screenSaver = "", const std::string& wallpaper = "") {
  return "[Main]\r\n" + main + "[ScreenSaver]\r\nCurrentSet=Test\r\n" + screenSaver +
         "[Wallpaper]\r\n" + wallpaper + "[Sets]\r\nTest=" + collection + "\r\n";
}

// Reads key CurrentPicture from the settings file as the saver left it.
int StoredPicture() {
  return static_cast<int>(GetPrivateProfileIntA("ScreenSaver", "CurrentPicture", -999,
                                                 SettingsPath().c_str()));
}

class Slideshow : public ::testing::Test {
 protected:
  void SetUp() override {
    MouseTo(639, 479);
    Sleep(50);
  }

  // Starts the saver with these settings and waits for its window.
  void Run(const std::string& settings) {
    WriteSettings(settings);
    ASSERT_TRUE(saver.Start("/s"));
    wnd = saver.WaitForWindow(10000);
    ASSERT_NE(nullptr, wnd);
  }

  bool WaitForColour(int x, int y, COLORREF want, int ms = 4000) {
    return WaitUntil([&] { return Near(ScreenPixel(x, y), want); }, ms);
  }

  Saver saver;
  HWND wnd = nullptr;
};

// --- placement ------------------------------------------------------------

TEST_F(Slideshow, CentresAPictureAtItsOwnSize) {
  WriteSolidBmp(WorkDir() + "\\RED.BMP", 320, 200, kRed);
  Run(Settings(WriteCollection("C", 1, {{"RED.BMP", ""}}), "FullScreen=0\r\n"));
  ASSERT_TRUE(WaitForColour(160, 140, kRed));
  EXPECT_TRUE(Near(ScreenPixel(479, 339), kRed));
  EXPECT_TRUE(IsBlack(ScreenPixel(159, 140)));
  EXPECT_TRUE(IsBlack(ScreenPixel(160, 139)));
  EXPECT_TRUE(IsBlack(ScreenPixel(480, 339)));
  EXPECT_TRUE(IsBlack(ScreenPixel(479, 340)));
  EXPECT_TRUE(IsBlack(ScreenPixel(0, 0)));
  EXPECT_TRUE(IsBlack(ScreenPixel(639, 479)));
}

TEST_F(Slideshow, FullScreenOneStretches) {
  WriteSolidBmp(WorkDir() + "\\RED.BMP", 320, 200, kRed);
  Run(Settings(WriteCollection("C", 1, {{"RED.BMP", ""}}), "FullScreen=1\r\n"));
  ASSERT_TRUE(WaitForColour(0, 0, kRed));
  EXPECT_TRUE(Near(ScreenPixel(639, 479), kRed));
  EXPECT_TRUE(Near(ScreenPixel(639, 0), kRed));
  EXPECT_TRUE(Near(ScreenPixel(0, 479), kRed));
}

TEST_F(Slideshow, FullScreenTwoCentres) {
  WriteSolidBmp(WorkDir() + "\\RED.BMP", 320, 200, kRed);
  Run(Settings(WriteCollection("C", 1, {{"RED.BMP", ""}}), "FullScreen=2\r\n"));
  ASSERT_TRUE(WaitForColour(160, 140, kRed));
  EXPECT_TRUE(IsBlack(ScreenPixel(0, 0)));
  EXPECT_TRUE(IsBlack(ScreenPixel(159, 140)));
}

// A picture larger than the screen shows its middle part at its own size.
TEST_F(Slideshow, LargerPictureShowsItsMiddle) {
  Bmp big;
  big.width = 800;
  big.height = 600;
  // Left and top margins of 80 and 60 pixels are blue, the middle red.
  big.pixel = [](int x, int y) -> unsigned {
    return (x < 80 || y < 60 || x >= 720 || y >= 540) ? RGB(0, 0, 255) : kRed;
  };
  WriteBmp(WorkDir() + "\\BIG.BMP", big);
  Run(Settings(WriteCollection("C", 1, {{"BIG.BMP", ""}}), "FullScreen=0\r\n"));
  ASSERT_TRUE(WaitForColour(320, 240, kRed));
  EXPECT_TRUE(Near(ScreenPixel(0, 0), kRed));
  EXPECT_TRUE(Near(ScreenPixel(639, 479), kRed));
  EXPECT_TRUE(Near(ScreenPixel(639, 0), kRed));
  EXPECT_TRUE(Near(ScreenPixel(0, 479), kRed));
}

// --- titles -----------------------------------------------------------------

// Rows in [top, bottom) holding at least one white pixel between columns
// 200 and 440.
int WhiteRows(int top, int bottom) {
  int rows = 0;
  HDC dc = GetDC(nullptr);
  for (int y = top; y < bottom; y++) {
    for (int x = 200; x < 440; x++) {
      if (Near(GetPixel(dc, x, y), RGB(255, 255, 255), 40)) {
        rows++;
        break;
      }
    }
  }
  ReleaseDC(nullptr, dc);
  return rows;
}

class Titles : public Slideshow {
 protected:
  void ShowTitled(const char* showTitle, const char* title) {
    WriteSolidBmp(WorkDir() + "\\GREY.BMP", 320, 200, kGrey);
    Run(Settings(WriteCollection("C", 1, {{"GREY.BMP", title}}),
                 std::string("FullScreen=1\r\nShowTitle=") + showTitle + "\r\n"));
    ASSERT_TRUE(WaitForColour(320, 240, kGrey));
    Sleep(200);
  }
};

TEST_F(Titles, WhiteAtTheTopEdgeCentred) {
  ShowTitled("1", "MMMMMMMM");
  EXPECT_GT(WhiteRows(0, 25), 5);
  EXPECT_EQ(0, WhiteRows(30, 480));
  // Centred: white on both sides of the middle, none near the edges.
  HDC dc = GetDC(nullptr);
  int left = 640, right = -1;
  for (int y = 0; y < 25; y++)
    for (int x = 0; x < 640; x++)
      if (Near(GetPixel(dc, x, y), RGB(255, 255, 255), 40)) {
        if (x < left) left = x;
        if (x > right) right = x;
      }
  ReleaseDC(nullptr, dc);
  ASSERT_LT(left, right);
  EXPECT_LE(abs((left + right) / 2 - 320), 6);
}

TEST_F(Titles, LineBreakGivesTwoLines) {
  ShowTitled("1", "MMMM\\nMMMM");
  EXPECT_GT(WhiteRows(0, 22), 5);
  EXPECT_GT(WhiteRows(22, 46), 5);
  EXPECT_EQ(0, WhiteRows(50, 480));
}

TEST_F(Titles, NoTitleWhenShowTitleIsZero) {
  ShowTitled("0", "MMMMMMMM");
  EXPECT_EQ(0, WhiteRows(0, 480));
}

TEST_F(Titles, OnlyOneCountsAsOn) {
  ShowTitled("2", "MMMMMMMM");
  EXPECT_EQ(0, WhiteRows(0, 480));
}

// --- formats ------------------------------------------------------------------

// Four quadrants in four palette colours; every format shows them right.
struct Format {
  const char* name;
  int bits;
  bool core;
};

void PrintTo(const Format& f, std::ostream* os) { *os << f.name; }

class Formats : public Slideshow, public ::testing::WithParamInterface<Format> {};

TEST_P(Formats, ShowTheirColours) {
  const Format f = GetParam();
  const COLORREF colours[4] = {RGB(200, 0, 0), RGB(0, 160, 0), RGB(0, 0, 200), RGB(240, 240, 0)};
  Bmp bmp;
  bmp.width = 200;
  bmp.height = 100;
  bmp.bits = f.bits;
  bmp.core = f.core;
  if (f.bits == 1) {
    bmp.palette = {colours[0], colours[3]};
    bmp.pixel = [](int x, int) -> unsigned { return x < 100 ? 0 : 1; };
  } else if (f.bits == 24) {
    bmp.pixel = [&](int x, int y) -> unsigned { return colours[(y >= 50) * 2 + (x >= 100)]; };
  } else {
    // The four colours sit at the end of the table, to catch a short read.
    int entries = 1 << f.bits;
    bmp.palette.assign(entries, RGB(255, 255, 255));
    for (int i = 0; i < 4; i++) bmp.palette[entries - 4 + i] = colours[i];
    bmp.pixel = [entries](int x, int y) -> unsigned {
      return entries - 4 + (y >= 50) * 2 + (x >= 100);
    };
  }
  WriteBmp(WorkDir() + "\\PIC.BMP", bmp);
  Run(Settings(WriteCollection("C", 1, {{"PIC.BMP", ""}}), "FullScreen=0\r\n"));
  // The picture sits at (220, 190) .. (419, 289).
  if (f.bits == 1) {
    ASSERT_TRUE(WaitForColour(260, 210, colours[0])) << f.name;
    EXPECT_TRUE(Near(ScreenPixel(380, 270), colours[3])) << f.name;
  } else {
    ASSERT_TRUE(WaitForColour(260, 210, colours[0])) << f.name;
    EXPECT_TRUE(Near(ScreenPixel(380, 210), colours[1])) << f.name;
    EXPECT_TRUE(Near(ScreenPixel(260, 270), colours[2])) << f.name;
    EXPECT_TRUE(Near(ScreenPixel(380, 270), colours[3])) << f.name;
  }
}

INSTANTIATE_TEST_SUITE_P(AllKinds, Formats,
                         ::testing::Values(Format{"1-bit", 1, false}, Format{"4-bit", 4, false},
                                           Format{"8-bit", 8, false}, Format{"24-bit", 24, false},
                                           Format{"8-bit core header", 8, true},
                                           Format{"4-bit core header", 4, true}),
                         [](const ::testing::TestParamInfo<Format>& p) {
                           std::string n = std::to_string(p.param.bits) + "bit";
                           return p.param.core ? n + "Core" : n;
                         });

// --- the cycle --------------------------------------------------------------

TEST_F(Slideshow, FirstPictureAboutOneSecondAfterStart) {
  WriteSolidBmp(WorkDir() + "\\RED.BMP", 320, 200, kRed);
  WriteSettings(Settings(WriteCollection("C", 1, {{"RED.BMP", ""}}), ""));
  DWORD start = GetTickCount();
  ASSERT_TRUE(saver.Start("/s"));
  ASSERT_TRUE(WaitForColour(320, 240, kRed, 6000));
  DWORD elapsed = GetTickCount() - start;
  EXPECT_GE(elapsed, 700u);
  EXPECT_LE(elapsed, 3500u);
}

TEST_F(Slideshow, NumberWrittenBeforeTheLoadEvenWhenItFails) {
  WriteSolidBmp(WorkDir() + "\\RED.BMP", 320, 200, kRed);
  std::string coll = WriteCollection("C", 2, {{"RED.BMP", ""}, {"MISSING.BMP", ""}});
  Run(Settings(coll, "", "ChangeDelay=1\r\nCurrentPicture=0\r\n"));
  ASSERT_TRUE(WaitForColour(320, 240, kRed));
  EXPECT_TRUE(WaitUntil([] { return StoredPicture() == 2; }, 4000));
  Sleep(300);
  EXPECT_TRUE(Near(ScreenPixel(320, 240), kRed)) << "a failed load keeps the previous picture";
  EXPECT_TRUE(WaitUntil([] { return StoredPicture() == 1; }, 4000)) << "wraps after Count";
}

TEST_F(Slideshow, StartsOverAfterTheLastPicture) {
  WriteSolidBmp(WorkDir() + "\\RED.BMP", 320, 200, kRed);
  WriteSolidBmp(WorkDir() + "\\GREY.BMP", 320, 200, kGrey);
  std::string coll = WriteCollection("C", 2, {{"RED.BMP", ""}, {"GREY.BMP", ""}});
  Run(Settings(coll, "", "CurrentPicture=2\r\n"));
  ASSERT_TRUE(WaitForColour(320, 240, kRed));
  EXPECT_EQ(1, StoredPicture());
}

TEST_F(Slideshow, CountZeroShowsPictureOneAtEveryChange) {
  WriteSolidBmp(WorkDir() + "\\RED.BMP", 320, 200, kRed);
  std::string coll = WriteCollection("C", 0, {{"RED.BMP", ""}});
  Run(Settings(coll, "", "CurrentPicture=5\r\nChangeDelay=0\r\n"));
  ASSERT_TRUE(WaitForColour(320, 240, kRed));
  Sleep(1500);
  EXPECT_EQ(1, StoredPicture());
}

TEST_F(Slideshow, NegativeNumberCountsUpToOne) {
  WriteSolidBmp(WorkDir() + "\\RED.BMP", 320, 200, kRed);
  std::string coll = WriteCollection("C", 3, {{"RED.BMP", ""}});
  Run(Settings(coll, "", "CurrentPicture=-2\r\nChangeDelay=1\r\n"));
  EXPECT_TRUE(WaitUntil([] { return StoredPicture() == -1; }, 4000));
  EXPECT_FALSE(Near(ScreenPixel(320, 240), kRed));
  EXPECT_TRUE(WaitUntil([] { return StoredPicture() == 0; }, 4000));
  EXPECT_TRUE(WaitUntil([] { return StoredPicture() == 1; }, 4000));
  EXPECT_TRUE(WaitForColour(320, 240, kRed));
}

TEST_F(Slideshow, DelayZeroAndOneChangeAtEveryTick) {
  WriteSolidBmp(WorkDir() + "\\RED.BMP", 320, 200, kRed);
  std::string coll = WriteCollection("C", 1000, {{"RED.BMP", ""}});
  for (const char* delay : {"0", "1"}) {
    Saver run;
    WriteSettings(Settings(coll, "", std::string("CurrentPicture=0\r\nChangeDelay=") + delay + "\r\n"));
    ASSERT_TRUE(run.Start("/s"));
    ASSERT_TRUE(WaitUntil([] { return StoredPicture() == 1; }, 5000)) << delay;
    DWORD start = GetTickCount();
    ASSERT_TRUE(WaitUntil([] { return StoredPicture() == 4; }, 6000)) << delay;
    DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 2000u) << delay;  // three ticks of a second each
    EXPECT_LE(elapsed, 4500u) << delay;
  }
}

// --- what the run leaves in the settings file and the system ------------------

TEST_F(Slideshow, WallpaperFollowsTheLastPictureOnExit) {
  WriteSolidBmp(WorkDir() + "\\RED.BMP", 320, 200, kRed);
  WriteSolidBmp(WorkDir() + "\\GREY.BMP", 320, 200, kGrey);
  std::string coll = WriteCollection("C", 2, {{"RED.BMP", ""}, {"GREY.BMP", ""}});
  Run(Settings(coll, "", "CurrentPicture=1\r\n", "UpdateWallpaper=1\r\n"));
  ASSERT_TRUE(WaitForColour(320, 240, kGrey));
  MouseTo(100, 100);
  ASSERT_TRUE(saver.WaitForExit(5000));
  std::string saved = ReadFile(SettingsPath());
  for (const char* key : {"ShowTitle=0", "FullScreen=0", "ChangeDelay=300", "CurrentPicture=2",
                          "CurrentSet=Test", "StartDelay=1", "UpdateWallpaper=1"})
    EXPECT_NE(std::string::npos, saved.find(key)) << key << " in\n" << saved;
  char wallpaper[MAX_PATH] = "";
  SystemParametersInfoA(SPI_GETDESKWALLPAPER, sizeof wallpaper, wallpaper, 0);
  EXPECT_STREQ((WorkDir() + "\\GREY.BMP").c_str(), wallpaper);
}

TEST_F(Slideshow, WithoutWallpaperOnlyThePictureNumberIsWritten) {
  WriteSolidBmp(WorkDir() + "\\RED.BMP", 320, 200, kRed);
  std::string coll = WriteCollection("C", 1, {{"RED.BMP", ""}});
  const std::string before = Settings(coll, "", "CurrentPicture=1\r\n");
  Run(before);
  ASSERT_TRUE(WaitForColour(320, 240, kRed));
  MouseTo(100, 100);
  ASSERT_TRUE(saver.WaitForExit(5000));
  std::string after = ReadFile(SettingsPath());
  EXPECT_EQ(std::string::npos, after.find("ShowTitle"));
  EXPECT_EQ(std::string::npos, after.find("StartDelay"));
  EXPECT_EQ(std::string::npos, after.find("UpdateWallpaper"));
  EXPECT_EQ(1, StoredPicture());
}

}  // namespace
