// The full-screen slideshow at 640 x 480: placement, titles, every picture
// format, the cycle's timing and what a run leaves behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "driver.h"

using namespace e2e;

namespace {

const COLORREF kRed = RGB(220, 30, 40), kGrey = RGB(90, 90, 90), kBlue = RGB(0, 0, 255), kBlack = 0;

int StoredPicture() {
  return int(GetPrivateProfileIntA("ScreenSaver", "CurrentPicture", -999, SettingsPath().c_str()));
}

bool WaitForColour(int x, int y, COLORREF want, int ms = 4000) {
  return WaitUntil([&] { return Near(ScreenPixel(x, y), want); }, ms);
}

// How many rows in [top, bottom) hold white in columns [x0, x1), and the
// centre of the white columns.
std::pair<int, int> White(int top, int bottom, int x0 = 200, int x1 = 440) {
  int rows = 0, left = x1, right = x0;
  HDC dc = GetDC(nullptr);
  for (int y = top; y < bottom; y++) {
    bool any = false;
    for (int x = x0; x < x1; x++)
      if (Near(GetPixel(dc, x, y), RGB(255, 255, 255), 40)) any = true, left = std::min(left, x), right = std::max(right, x);
    rows += any;
  }
  ReleaseDC(nullptr, dc);
  return {rows, (left + right) / 2};
}

class Slideshow : public ::testing::Test {
 protected:
  void SetUp() override {
    MouseTo(639, 479);
    WriteSolidBmp(WorkDir() + "\\RED.BMP", 320, 200, kRed);
    WriteSolidBmp(WorkDir() + "\\GREY.BMP", 320, 200, kGrey);
  }

  // Starts a fresh saver, the one before killed first, on a collection of
  // `pictures`; the strings add lines to sections Main, ScreenSaver and Wallpaper.
  void Run(int count, const Pictures& pictures, const std::string& main,
           const std::string& screenSaver = "", const std::string& wallpaper = "") {
    saver.reset(new Saver);
    WriteSettings("[Main]\r\n" + main + "\r\n[ScreenSaver]\r\nCurrentSet=Test\r\n" + screenSaver +
                  "\r\n[Wallpaper]\r\n" + wallpaper + "\r\n[Sets]\r\nTest=" + WriteCollection("C", count, pictures));
    ASSERT_TRUE(saver->Start("/s"));
    ASSERT_NE(nullptr, saver->WaitForWindow(10000));
  }

  std::unique_ptr<Saver> saver;
};

// Consecutive cases show different colours first, so that nothing left on
// the screen by the case before can pass for the picture.
TEST_F(Slideshow, PlacementAndTitles) {
  // 800 x 600: a blue margin of 80 and 60 pixels around a grey middle.
  WriteBmp(WorkDir() + "\\BIG.BMP", {800, 600, 24, false, {}, [](int x, int y) -> unsigned {
             return x < 80 || y < 60 || x >= 720 || y >= 540 ? kBlue : kGrey;
           }});
  const std::vector<POINT> corners = {{0, 0}, {639, 0}, {0, 479}, {639, 479}};
  const struct {
    const char *name, *file, *main, *title;
    int titleLines;
    COLORREF colour;  // at the first point
    std::vector<POINT> in, out;  // points of the picture's colour and black ones
  } cases[] = {
      {"own size, centred", "RED.BMP", "FullScreen=0", "", 0, kRed, {{160, 140}, {479, 339}},
       {{159, 140}, {160, 139}, {480, 339}, {479, 340}, {0, 0}, {639, 479}}},
      {"stretched", "GREY.BMP", "FullScreen=1", "", 0, kGrey, corners, {}},
      {"FullScreen 2 centres", "RED.BMP", "FullScreen=2", "", 0, kRed, {{160, 140}}, {{159, 140}, {0, 0}}},
      {"larger than the screen: its middle at its own size", "BIG.BMP", "FullScreen=0", "", 0, kGrey, corners, {}},
      {"title", "RED.BMP", "FullScreen=1\r\nShowTitle=1", "MMMMMMMM", 1, kRed, {{320, 240}}, {}},
      {"title of two lines", "GREY.BMP", "FullScreen=1\r\nShowTitle=1", "MMMM\\nMMMM", 2, kGrey, {{320, 240}}, {}},
      {"only ShowTitle 1 shows titles", "RED.BMP", "FullScreen=1\r\nShowTitle=2", "MMMMMMMM", 0, kRed, {{320, 240}}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Run(1, {{c.file, c.title}}, c.main);
    ASSERT_TRUE(WaitForColour(c.in[0].x, c.in[0].y, c.colour));
    Sleep(200);
    for (POINT p : c.in) EXPECT_TRUE(Near(ScreenPixel(p.x, p.y), c.colour)) << p.x << "," << p.y;
    for (POINT p : c.out) EXPECT_TRUE(Near(ScreenPixel(p.x, p.y), kBlack)) << p.x << "," << p.y;
    if (!*c.title) continue;
    // White lines of 23 pixels at the top, centred; nothing white below.
    for (int line = 0; line < c.titleLines; line++)
      EXPECT_GT(White(23 * line, 23 * line + 23).first, 5) << "line " << line + 1;
    EXPECT_EQ(0, White(c.titleLines ? 23 * c.titleLines + 5 : 0, 480).first) << "white below the title";
    EXPECT_NEAR(320, White(0, 23 * std::max(c.titleLines, 1), 0, 640).second, 6) << "not centred";
  }
}

// Four quadrants in four palette colours (two for 1 bit), which every
// format shows right. The colours turn from case to case.
TEST_F(Slideshow, EveryFormatShowsItsColours) {
  const COLORREF base[4] = {RGB(200, 0, 0), RGB(0, 160, 0), RGB(0, 0, 200), RGB(240, 240, 0)};
  const int kinds[][2] = {{1, 0}, {4, 0}, {8, 0}, {24, 0}, {8, 1}, {4, 1}};  // bits, core header
  for (int k = 0; k < 6; k++) {
    const int bits = kinds[k][0], entries = 1 << bits;
    SCOPED_TRACE(std::to_string(bits) + (kinds[k][1] ? "-bit, 12-byte header" : "-bit"));
    COLORREF colours[4];
    for (int i = 0; i < 4; i++) colours[i] = base[(i + k) % 4];
    Bmp bmp{200, 100, bits, kinds[k][1] != 0, {}, [&](int x, int y) -> unsigned {
              const int quadrant = (y >= 50) * 2 + (x >= 100);
              return bits == 24 ? colours[quadrant] : bits == 1 ? x >= 100 : entries - 4 + quadrant;
            }};
    if (bits == 1) bmp.palette = {colours[0], colours[3]};
    if (bits == 4 || bits == 8) {  // the four at the end of the table, to catch a short read
      bmp.palette.assign(entries, RGB(255, 255, 255));
      std::copy(colours, colours + 4, bmp.palette.end() - 4);
    }
    WriteBmp(WorkDir() + "\\PIC.BMP", bmp);
    Run(1, {{"PIC.BMP", ""}}, "FullScreen=0");
    // The picture sits at (220, 190) .. (419, 289).
    ASSERT_TRUE(WaitForColour(260, 210, colours[0]));
    EXPECT_TRUE(Near(ScreenPixel(380, 270), colours[3]));
    EXPECT_TRUE(bits == 1 || (Near(ScreenPixel(380, 210), colours[1]) && Near(ScreenPixel(260, 270), colours[2])));
  }
}

// The first change comes about a second after the start, then one each
// second. Each number is written before its load, so a picture that fails
// counts, and the one before stays on the screen.
TEST_F(Slideshow, OneChangeASecondAndFailedPicturesCount) {
  DWORD start = GetTickCount();
  Run(4, {{"RED.BMP", ""}, {"MISSING.BMP", ""}}, "", "ChangeDelay=1\r\nCurrentPicture=0");
  ASSERT_TRUE(WaitForColour(320, 240, kRed, 6000));
  EXPECT_NEAR(2100, GetTickCount() - start, 1400);
  ASSERT_TRUE(WaitUntil([] { return StoredPicture() == 1; }, 2000));
  start = GetTickCount();
  ASSERT_TRUE(WaitUntil([] { return StoredPicture() == 4; }, 6000));
  EXPECT_NEAR(3250, GetTickCount() - start, 1250) << "three ticks of a second each";
  EXPECT_TRUE(Near(ScreenPixel(320, 240), kRed)) << "a failed load keeps the previous picture";
}

// With UpdateWallpaper 1 the exit saves every key and makes picture number
// CurrentPicture the wallpaper, even one that failed to load; with 0 only
// the number was written.
TEST_F(Slideshow, ExitSavesAndSetsTheWallpaperOnlyWhenAsked) {
  const char* cases[][3] = {{"1", "GREY.BMP", "GREY.BMP"}, {"0", "GREY.BMP", ""}, {"1", "MISSING.BMP", "MISSING.BMP"}};
  for (const auto& c : cases) {  // UpdateWallpaper, picture 2, the wallpaper
    SCOPED_TRACE(std::string("UpdateWallpaper ") + c[0] + ", picture 2 " + c[1]);
    Desktop("Wallpaper", "");
    Run(2, {{"RED.BMP", ""}, {c[1], ""}}, "", "CurrentPicture=1", std::string("UpdateWallpaper=") + c[0]);
    ASSERT_TRUE(WaitUntil([] { return StoredPicture() == 2; }, 4000));
    Sleep(300);
    MouseTo(100, 100);
    ASSERT_TRUE(saver->WaitForExit(5000));
    MouseTo(639, 479);
    const std::string saved = ReadFile(SettingsPath());
    for (const char* key : {"ShowTitle=0", "FullScreen=0", "ChangeDelay=300", "StartDelay=1"})
      EXPECT_EQ(*c[0] == '1', saved.find(key) != std::string::npos) << key << " in\n" << saved;
    EXPECT_EQ(2, StoredPicture());
    EXPECT_EQ(*c[2] ? WorkDir() + "\\" + c[2] : "", Desktop("Wallpaper"));
  }
}

}  // namespace
