// The full-screen slideshow at 640 x 480: placement, titles, every picture
// format, the picture cycle and what reaches the settings file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

#include "driver.h"

using namespace e2e;

namespace {

const COLORREF kRed = RGB(220, 30, 40), kGrey = RGB(90, 90, 90), kBlue = RGB(0, 0, 255);
const COLORREF kBlack = RGB(0, 0, 0), kWhite = RGB(255, 255, 255);

using Pictures = std::vector<std::pair<std::string, std::string>>;  // file, title

int StoredPicture() {
  return static_cast<int>(GetPrivateProfileIntA("ScreenSaver", "CurrentPicture", -999,
                                                 SettingsPath().c_str()));
}

bool WaitForColour(int x, int y, COLORREF want, int ms = 4000) {
  return WaitUntil([&] { return Near(ScreenPixel(x, y), want); }, ms);
}

class Slideshow : public ::testing::Test {
 protected:
  void SetUp() override {
    MouseTo(639, 479);
    WriteSolidBmp(WorkDir() + "\\RED.BMP", 320, 200, kRed);
    WriteSolidBmp(WorkDir() + "\\GREY.BMP", 320, 200, kGrey);
  }

  // LUMARO.INI naming one collection "Test" of `pictures`, with extra lines
  // for its sections Main, ScreenSaver and Wallpaper.
  static std::string Settings(int count, const Pictures& pictures, const std::string& main,
                              const std::string& screenSaver = "",
                              const std::string& wallpaper = "") {
    return "[Main]\r\n" + main + "[ScreenSaver]\r\nCurrentSet=Test\r\n" + screenSaver +
           "[Wallpaper]\r\n" + wallpaper +
           "[Sets]\r\nTest=" + WriteCollection("C", count, pictures) + "\r\n";
  }

  // Starts a fresh saver (the one before, if any, is killed) with these settings.
  void Run(const std::string& settings) {
    saver = std::make_unique<Saver>();
    WriteSettings(settings);
    ASSERT_TRUE(saver->Start("/s"));
    wnd = saver->WaitForWindow(10000);
    ASSERT_NE(nullptr, wnd);
  }

  std::unique_ptr<Saver> saver;
  HWND wnd = nullptr;
};

// Consecutive cases show different colours first, so that nothing left on
// the screen by the case before can pass for the picture.
TEST_F(Slideshow, Placement) {
  // 800 x 600: a blue margin of 80 and 60 pixels around a grey middle.
  WriteBmp(WorkDir() + "\\BIG.BMP", {800, 600, 24, false, {}, [](int x, int y) -> unsigned {
                                       return x < 80 || y < 60 || x >= 720 || y >= 540 ? kBlue
                                                                                       : kGrey;
                                     }});
  struct Probe {
    int x, y;
    COLORREF colour;
  };
  const struct {
    const char *name, *file, *fullScreen;
    std::vector<Probe> probes;  // the first is awaited
  } cases[] = {
      {"own size, centred", "RED.BMP", "0",
       {{160, 140, kRed}, {479, 339, kRed}, {159, 140, kBlack}, {160, 139, kBlack},
        {480, 339, kBlack}, {479, 340, kBlack}, {0, 0, kBlack}, {639, 479, kBlack}}},
      {"stretched", "GREY.BMP", "1", {{0, 0, kGrey}, {639, 479, kGrey}, {639, 0, kGrey},
                                      {0, 479, kGrey}}},
      {"FullScreen 2 centres", "RED.BMP", "2",
       {{160, 140, kRed}, {0, 0, kBlack}, {159, 140, kBlack}}},
      {"larger than the screen: its middle at its own size", "BIG.BMP", "0",
       {{320, 240, kGrey}, {0, 0, kGrey}, {639, 479, kGrey}, {639, 0, kGrey}, {0, 479, kGrey}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Run(Settings(1, {{c.file, ""}}, std::string("FullScreen=") + c.fullScreen + "\r\n"));
    const Probe& first = c.probes[0];
    ASSERT_TRUE(WaitForColour(first.x, first.y, first.colour));
    for (const Probe& p : c.probes)
      EXPECT_TRUE(Near(ScreenPixel(p.x, p.y), p.colour)) << "at " << p.x << "," << p.y;
  }
}

// Rows in [top, bottom) with a white pixel in columns [x0, x1); `span`
// gets the leftmost and rightmost white column.
int WhiteRows(int top, int bottom, int x0 = 200, int x1 = 440, POINT* span = nullptr) {
  int rows = 0;
  POINT lr = {x1, x0 - 1};
  HDC dc = GetDC(nullptr);
  for (int y = top; y < bottom; y++) {
    bool any = false;
    for (int x = x0; x < x1; x++)
      if (Near(GetPixel(dc, x, y), kWhite, 40)) {
        any = true;
        lr = {std::min<LONG>(lr.x, x), std::max<LONG>(lr.y, x)};
      }
    rows += any;
  }
  ReleaseDC(nullptr, dc);
  if (span) *span = lr;
  return rows;
}

TEST_F(Slideshow, TitleWhiteAtTheTopCentredOnlyWhenShowTitleIsOne) {
  const struct {
    const char *showTitle, *title, *file;
    int lines;
  } cases[] = {{"1", "MMMMMMMM", "GREY.BMP", 1},
               {"1", "MMMM\\nMMMM", "RED.BMP", 2},
               {"0", "MMMMMMMM", "GREY.BMP", 0},
               {"2", "MMMMMMMM", "RED.BMP", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("ShowTitle ") + c.showTitle + ", title " + c.title);
    Run(Settings(1, {{c.file, c.title}},
                 std::string("FullScreen=1\r\nShowTitle=") + c.showTitle + "\r\n"));
    ASSERT_TRUE(WaitForColour(320, 240, c.file[0] == 'R' ? kRed : kGrey));
    Sleep(200);
    for (int line = 0; line < c.lines; line++)
      EXPECT_GT(WhiteRows(23 * line, 23 * line + 23), 5) << "line " << line + 1;
    EXPECT_EQ(0, WhiteRows(c.lines ? 23 * c.lines + 5 : 0, 480)) << "white below the title";
    POINT span;
    if (c.lines > 0 && WhiteRows(0, 23 * c.lines, 0, 640, &span) > 0) {
      EXPECT_LE(abs((span.x + span.y) / 2 - 320), 6) << "white from " << span.x << " to " << span.y;
    }
  }
}

// Four quadrants in four palette colours (two for 1 bit), which every
// format shows right. The colours turn from case to case (see Placement).
TEST_F(Slideshow, EveryFormatShowsItsColours) {
  const COLORREF base[4] = {RGB(200, 0, 0), RGB(0, 160, 0), RGB(0, 0, 200), RGB(240, 240, 0)};
  const struct {
    int bits;
    bool core;
  } cases[] = {{1, false}, {4, false}, {8, false}, {24, false}, {8, true}, {4, true}};
  for (int k = 0; k < 6; k++) {
    const int bits = cases[k].bits;
    SCOPED_TRACE(std::to_string(bits) + (cases[k].core ? "-bit, 12-byte header" : "-bit"));
    COLORREF colours[4];
    for (int i = 0; i < 4; i++) colours[i] = base[(i + k) % 4];
    auto quadrant = [](int x, int y) { return (y >= 50) * 2 + (x >= 100); };
    Bmp bmp{200, 100, bits, cases[k].core, {}, nullptr};
    if (bits == 1) {
      bmp.palette = {colours[0], colours[3]};
      bmp.pixel = [](int x, int) -> unsigned { return x >= 100; };
    } else if (bits == 24) {
      bmp.pixel = [&](int x, int y) -> unsigned { return colours[quadrant(x, y)]; };
    } else {
      // The four colours sit at the end of the table, to catch a short read.
      const int entries = 1 << bits;
      bmp.palette.assign(entries, kWhite);
      for (int i = 0; i < 4; i++) bmp.palette[entries - 4 + i] = colours[i];
      bmp.pixel = [=](int x, int y) -> unsigned { return entries - 4 + quadrant(x, y); };
    }
    WriteBmp(WorkDir() + "\\PIC.BMP", bmp);
    Run(Settings(1, {{"PIC.BMP", ""}}, "FullScreen=0\r\n"));
    // The picture sits at (220, 190) .. (419, 289).
    ASSERT_TRUE(WaitForColour(260, 210, colours[0]));
    EXPECT_TRUE(Near(ScreenPixel(380, 270), colours[3]));
    if (bits != 1) {
      EXPECT_TRUE(Near(ScreenPixel(380, 210), colours[1]));
      EXPECT_TRUE(Near(ScreenPixel(260, 270), colours[2]));
    }
  }
}

// --- the cycle --------------------------------------------------------------

TEST_F(Slideshow, FirstPictureAboutOneSecondAfterStart) {
  DWORD start = GetTickCount();
  Run(Settings(1, {{"RED.BMP", ""}}, ""));
  ASSERT_TRUE(WaitForColour(320, 240, kRed, 6000));
  DWORD elapsed = GetTickCount() - start;
  EXPECT_GE(elapsed, 700u);
  EXPECT_LE(elapsed, 3500u);
}

TEST_F(Slideshow, NumberWrittenBeforeTheLoadEvenWhenItFailsAndWrapsAfterCount) {
  Run(Settings(2, {{"RED.BMP", ""}, {"MISSING.BMP", ""}}, "",
               "ChangeDelay=1\r\nCurrentPicture=0\r\n"));
  ASSERT_TRUE(WaitForColour(320, 240, kRed));
  EXPECT_TRUE(WaitUntil([] { return StoredPicture() == 2; }, 4000));
  Sleep(300);
  EXPECT_TRUE(Near(ScreenPixel(320, 240), kRed)) << "a failed load keeps the previous picture";
  EXPECT_TRUE(WaitUntil([] { return StoredPicture() == 1; }, 4000)) << "no wrap after Count";
}

TEST_F(Slideshow, CountZeroShowsPictureOneAtEveryChange) {
  Run(Settings(0, {{"RED.BMP", ""}}, "", "CurrentPicture=5\r\nChangeDelay=0\r\n"));
  ASSERT_TRUE(WaitForColour(320, 240, kRed));
  Sleep(1500);
  EXPECT_EQ(1, StoredPicture());
}

TEST_F(Slideshow, NegativeNumberCountsUpToOne) {
  Run(Settings(3, {{"RED.BMP", ""}}, "", "CurrentPicture=-2\r\nChangeDelay=1\r\n"));
  EXPECT_TRUE(WaitUntil([] { return StoredPicture() == -1; }, 4000));
  EXPECT_FALSE(Near(ScreenPixel(320, 240), kRed));
  EXPECT_TRUE(WaitUntil([] { return StoredPicture() == 0; }, 4000));
  EXPECT_TRUE(WaitUntil([] { return StoredPicture() == 1; }, 4000));
  EXPECT_TRUE(WaitForColour(320, 240, kRed));
}

TEST_F(Slideshow, DelayZeroAndOneChangeAtEveryTick) {
  for (const char* delay : {"0", "1"}) {
    SCOPED_TRACE(std::string("ChangeDelay ") + delay);
    Run(Settings(1000, {{"RED.BMP", ""}}, "",
                 std::string("CurrentPicture=0\r\nChangeDelay=") + delay + "\r\n"));
    ASSERT_TRUE(WaitUntil([] { return StoredPicture() == 1; }, 5000));
    DWORD start = GetTickCount();
    ASSERT_TRUE(WaitUntil([] { return StoredPicture() == 4; }, 6000));
    DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 2000u);  // three ticks of a second each
    EXPECT_LE(elapsed, 4500u);
  }
}

// --- what the run leaves in the settings file and the system ------------------

// With UpdateWallpaper 1 the exit saves every key and makes the last
// picture the wallpaper; with 0 only the picture number was written.
TEST_F(Slideshow, ExitSavesAndSetsTheWallpaperOnlyWhenAsked) {
  for (const char* update : {"1", "0"}) {
    SCOPED_TRACE(std::string("UpdateWallpaper ") + update);
    SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(""), SPIF_UPDATEINIFILE);
    Run(Settings(2, {{"RED.BMP", ""}, {"GREY.BMP", ""}}, "", "CurrentPicture=1\r\n",
                 std::string("UpdateWallpaper=") + update + "\r\n"));
    ASSERT_TRUE(WaitForColour(320, 240, kGrey));
    MouseTo(100, 100);
    ASSERT_TRUE(saver->WaitForExit(5000));
    MouseTo(639, 479);
    const std::string saved = ReadFile(SettingsPath());
    for (const char* key : {"ShowTitle=0", "FullScreen=0", "ChangeDelay=300", "StartDelay=1"})
      EXPECT_EQ(*update == '1', saved.find(key) != std::string::npos) << key << " in\n" << saved;
    EXPECT_EQ(2, StoredPicture());
    char wallpaper[MAX_PATH] = "";
    SystemParametersInfoA(SPI_GETDESKWALLPAPER, sizeof wallpaper, wallpaper, 0);
    EXPECT_EQ(*update == '1' ? WorkDir() + "\\GREY.BMP" : "", wallpaper);
  }
}

}  // namespace
