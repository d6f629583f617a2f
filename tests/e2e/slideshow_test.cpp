// The full-screen run at 640 x 480: its window and what ends it, placement, titles, the cycle, the exit; input
// ends it at once whatever the worker is doing, even waiting on a file that never answers; a change fades from one
// picture into the next, or cuts with Fade=0, and ends exactly on the new one; with PanZoom pictures drift.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>
#include <tuple>

#include "driver.h"

using namespace e2e;

namespace {

const COLORREF kGrey = RGB(90, 90, 90);

int White(int top, int bottom, int x0 = 160, int x1 = 480) { return WhitePixels({x0, top, x1, bottom}); }

class Slideshow : public ::testing::Test {
 protected:
  void SetUp() override {
    MouseTo(639, 479);
    WriteSolidBmp(WorkDir() + "\\RED.BMP", 320, 200, kRed);
    WriteSolidBmp(WorkDir() + "\\GREY.BMP", 320, 200, kGrey);
  }

  std::unique_ptr<Saver> saver;
};

// The window covers the screen on top and hides the pointer; the first real input or loss of activation ends
// the program. A switch that means nothing (which is the switch matcher's affair) ends it at once, unseen.
TEST_F(Slideshow, WindowAndWhatEndsIt) {
  SetEnvironmentVariableA("LUMARO_TEST_MINUTE_MS", "1500");  // BlankAfter's minute, for the saver
  HWND wnd = nullptr, other = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP, 0, 0, 50, 50, 0, 0, 0, 0);
  const struct {
    const char *name, *args;
    std::function<void()> act;
    int ends;  // 1 by itself, 0 never, -1 at once without a window
    const char* main = "";
  } cases[] = {
      {"covers the screen, stays", "/S 1234", [&] {  // a second argument is ignored
         RECT rc, screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
         GetWindowRect(wnd, &rc);
         EXPECT_TRUE(EqualRect(&rc, &screen));
         EXPECT_TRUE(GetWindowLongA(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
         EXPECT_EQ(WS_POPUP, GetWindowLongA(wnd, GWL_STYLE) & (WS_POPUP | WS_CAPTION));
         EXPECT_EQ(wnd, WindowFromPoint(POINT{320, 240}));
         EXPECT_TRUE(PointerHidden());
         MouseTo(320, 240);  // the same place: not a move
         EXPECT_FALSE(saver->WaitForExit(1500)) << "closed under a resting mouse";
         SendMessageA(wnd, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
         SendMessageA(wnd, WM_SYSCOMMAND, SC_CLOSE, 0);
       }, 0},
      {"one-pixel move", "/s", [] { MouseTo(321, 240); }, 1},
      {"left button", "/s", [] { Press(VK_LBUTTON); }, 1},
      {"middle button", "/s", [] { Press(VK_MBUTTON); }, 1},
      {"right button", "/s", [] { Press(VK_RBUTTON); }, 1},
      {"key", "/s", [] { Press('A'); }, 1},
      {"Alt", "/s", [] { Press(VK_MENU); }, 1},
      {"an arrow, the keys off", "/s", [] { Press(VK_RIGHT); }, 1},
      {"a letter, the keys on", "/s", [] { Press('A'); }, 1, "Keys=1"},
      {"a volume key, the keys on", "/s", [] { Press(VK_VOLUME_UP); }, 0, "Keys=1"},
      {"an arrow once blank", "/s", [] {
         ASSERT_TRUE(ShowsColour(320, 240, kRed));
         EXPECT_TRUE(ShowsColour(320, 240, kBlack, 8000)) << "not black after BlankAfter";
         Press(VK_RIGHT);
       }, 1, "Keys=1\r\nBlankAfter=1"},
      {"another window activated", "/s", [&] {
         ShowWindow(other, SW_SHOW);
         SetForegroundWindow(other);
         SetActiveWindow(other);
       }, 1},
      {"//s", "//s", nullptr, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MouseTo(320, 240);  // resting mid-screen through creation, activation and the first mouse report
    Sleep(100);
    const std::string settings = ShowSettings({{"RED.BMP", ""}}, c.main);
    wnd = Restart(saver, settings, c.args);
    DWORD code = 12345;
    if (c.ends < 0) {
      EXPECT_TRUE(saver->WaitForExit(0) && wnd == nullptr);
      EXPECT_EQ(settings, ReadFile(kSettingsPath));
      continue;
    }
    SetForegroundWindow(wnd);
    Sleep(500);
    ASSERT_TRUE(wnd && saver->Running()) << "no saver window, or it closed by itself";
    c.act();
    EXPECT_EQ(c.ends == 1, saver->WaitForExit(c.ends ? 5000 : 1000, &code)) << "ended or not";
    EXPECT_EQ(c.ends ? 0u : 12345u, code);
  }
  DestroyWindow(other);
  SetEnvironmentVariableA("LUMARO_TEST_MINUTE_MS", nullptr);
}

// With the keys on, the arrows step through the pictures, back to the first and forward again, each change on
// screen and saved at once; Space holds a picture past two delays, its mark showing for a while, and goes on.
TEST_F(Slideshow, KeysSteerIt) {
  WriteSolidBmp(WorkDir() + "\\BLUE.BMP", 64, 64, kBlue);
  const Pictures pictures = {{"RED.BMP", ""}, {"GREY.BMP", ""}, {"BLUE.BMP", ""}};
  ASSERT_NE(nullptr, Restart(saver, ShowSettings(pictures, "Keys=1\r\nFade=0", "ChangeDelay=3\r\nCurrentPicture=0")));
  ASSERT_TRUE(ShowsColour(320, 240, kRed));
  const struct { WORD key; COLORREF colour; int stored; int after = 0; } steps[] = {
      {VK_RIGHT, kGrey, 2}, {VK_RIGHT, kBlue, 3}, {VK_LEFT, kGrey, 2}, {VK_LEFT, kRed, 1}, {VK_LEFT, kRed, 1, 500},
      {VK_RIGHT, kGrey, 2}, {VK_SPACE, kGrey, 2, 7000}, {VK_SPACE, kGrey, 2, 1500}};
  for (const auto& step : steps) {
    SCOPED_TRACE(std::to_string(&step - steps));
    Press(step.key);
    const bool pausing = &step == &steps[6];
    EXPECT_TRUE(!pausing || WaitUntil([] { return Near(ScreenPixel(608, 48), kWhite); }, 1000)) << "no pause mark";
    Sleep(step.after);
    EXPECT_TRUE(ShowsColour(320, 240, step.colour, 3000));
    EXPECT_TRUE(WaitUntil([&] { return StoredPicture() == step.stored; }, 2000)) << StoredPicture();
  }
  EXPECT_TRUE(Near(ScreenPixel(608, 48), kBlack)) << "the pause mark stayed";
  EXPECT_TRUE(ShowsColour(320, 240, kBlue, 3000)) << "not going on after a whole delay";
}

// Placement and titles the two-monitor run does not show (there each monitor shows the picture centred at its own
// size or stretched, and a title of one line). Consecutive cases show different colours first: nothing left by the
// case before can pass for the picture.
TEST_F(Slideshow, PlacementAndTitles) {
  WriteSolidBmp(WorkDir() + "\\WIDE.BMP", 1000, 400, kRed);
  const std::string blue = WorkDir() + "/BLUE.BMP";  // a full path, either slash
  WriteSolidBmp(blue, 64, 64, kBlue);
  const struct {
    const char *name, *file, *main, *title;
    int titleLines;
    COLORREF colour;             // at the first point
    std::vector<POINT> in, out;  // points of the picture's colour, black points
  } cases[] = {
      {"FullScreen 2 centres", "RED.BMP", "FullScreen=2", "", 0, kRed, {{160, 140}, {479, 339}},
       {{159, 140}, {160, 139}, {480, 339}, {479, 340}, {0, 0}, {639, 479}}},
      {"title of two lines", "GREY.BMP", "FullScreen=1\r\nShowTitle=1", "MMMM\\nMMMM", 2, kGrey, {{320, 240}, {0, 479}}, {}},
      {"wide: fitted, black above and below", "WIDE.BMP", "FullScreen=0", "", 0, kRed, {{320, 240}, {0, 112}, {639, 367}},
       {{320, 111}, {320, 368}, {0, 0}}},
      {"only ShowTitle 1 shows titles", "GREY.BMP", "FullScreen=1\r\nShowTitle=2", "MMMMMMMM", 0, kGrey, {{320, 240}}, {}},
      {"a full path", blue.c_str(), "FullScreen=1", "", 0, kBlue, {{320, 240}}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_NE(nullptr, Restart(saver, ShowSettings({{c.file, c.title}}, c.main)));
    ASSERT_TRUE(ShowsColour(c.in[0].x, c.in[0].y, c.colour));
    Sleep(200);
    for (POINT p : c.in) EXPECT_TRUE(Near(ScreenPixel(p.x, p.y), c.colour)) << p.x << "," << p.y;
    for (POINT p : c.out) EXPECT_TRUE(Near(ScreenPixel(p.x, p.y), kBlack)) << p.x << "," << p.y;
    if (!*c.title) continue;
    // White lines of 23 pixels at the top, as much of them left of the middle as right; nothing white below.
    for (int line = 0; line < c.titleLines; line++) EXPECT_GT(White(23 * line, 23 * line + 23), 50) << line;
    EXPECT_EQ(0, White(c.titleLines ? 23 * c.titleLines + 5 : 0, 480)) << "white below the title";
    const int left = White(0, 46, 0, 320), right = White(0, 46, 320, 640);
    EXPECT_LE(abs(left - right), (left + right) / 8) << left << " white pixels left of the middle, " << right << " right";
  }
}

// The first change comes about a second after the start, then one a second. Each number is written before its
// load, so a picture that fails counts, and the one before stays on the screen. On one monitor, a picture for
// each changes nothing.
TEST_F(Slideshow, OneChangeASecondAndFailedPicturesCount) {
  for (const auto& [main, file, colour] : {std::tuple{"", "RED.BMP", kRed}, {"EachMonitor=1", "GREY.BMP", kGrey}}) {
    SCOPED_TRACE(main);
    DWORD start = GetTickCount();
    ASSERT_NE(nullptr, Restart(saver, ShowSettings({{file, ""}, {"MISSING.BMP", ""}}, main, "ChangeDelay=1\r\nCurrentPicture=0", 4)));
    ASSERT_TRUE(ShowsColour(320, 240, colour, 6000));
    EXPECT_NEAR(2100, GetTickCount() - start, 1400);
    ASSERT_TRUE(WaitUntil([] { return StoredPicture() == 1; }, 2000));
    start = GetTickCount();
    ASSERT_TRUE(WaitUntil([] { return StoredPicture() == 4; }, 6000));
    EXPECT_NEAR(3250, GetTickCount() - start, 1250) << "three ticks of a second each";
    EXPECT_TRUE(Near(ScreenPixel(320, 240), colour)) << "a failed load keeps the previous picture";
  }
}

// With UpdateWallpaper 1 the exit saves every key and makes picture CurrentPicture the wallpaper, even one that
// failed to load; with 0 only the number was written. On a desktop of another name, as Windows 8 and later start
// the saver on idle, a second process of the saver's sets it from "Default".
TEST_F(Slideshow, ExitSavesAndSetsTheWallpaperOnlyWhenAsked) {
  const char* cases[][4] = {{"1", "GREY.BMP", "GREY.BMP", "Screen-saver"}, {"1", "GREY.BMP", "GREY.BMP"},
                            {"0", "GREY.BMP", ""}, {"1", "MISSING.BMP", "MISSING.BMP"}};
  const HDESK home = GetThreadDesktop(GetCurrentThreadId());
  for (const auto& c : cases) {  // UpdateWallpaper, picture 2, the wallpaper, the saver's desktop when not ours
    SCOPED_TRACE(std::string("UpdateWallpaper ") + c[0] + ", picture 2 " + c[1] + " on " + (c[3] ? c[3] : "ours"));
    Desktop("Wallpaper", "");
    // Started from this thread on that desktop, the saver runs there (Wine gives a child its creator's desktop).
    const HDESK desk = c[3] ? CreateDesktopA(c[3], nullptr, nullptr, 0, GENERIC_ALL, nullptr) : home;
    ASSERT_TRUE(SetThreadDesktop(desk)) << GetLastError();
    ASSERT_NE(nullptr, Restart(saver, ShowSettings({{"RED.BMP", ""}, {c[1], ""}}, std::string("[Wallpaper]\r\nUpdateWallpaper=") + c[0],
                                                   "CurrentPicture=1")));
    // Its desktop's own processes have started by now: the job counts the saver and what it starts on exit.
    const HANDLE job = CreateJobObjectA(nullptr, nullptr);
    ASSERT_TRUE(AssignProcessToJobObject(job, saver->Process()));
    // Time for the first change on a desktop just made, which Wine starts slowly in a new prefix.
    ASSERT_TRUE(WaitUntil([] { return StoredPicture() == 2; }, 8000));
    Sleep(300);
    MouseTo(100, 100);
    ASSERT_TRUE(saver->WaitForExit(5000));
    MouseTo(639, 479);
    const std::string saved = ReadFile(kSettingsPath);
    for (const char* key : {"ShowTitle=0", "FullScreen=0", "ChangeDelay=300", "StartDelay=1"})
      EXPECT_EQ(*c[0] == '1', saved.find(key) != std::string::npos) << key << " in\n" << saved;
    EXPECT_EQ(2, StoredPicture());
    const std::string wallpaper = *c[2] ? WorkDir() + "\\" + c[2] : "";
    EXPECT_TRUE(WaitUntil([&] { return Desktop("Wallpaper") == wallpaper; }, 5000)) << Desktop("Wallpaper");
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION processes = {};
    QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &processes, sizeof processes, nullptr);
    EXPECT_EQ(c[3] ? 2u : 1u, processes.TotalProcesses);
    CloseHandle(job), SetThreadDesktop(home);
    if (desk != home) CloseDesktop(desk);
  }
}

// Shuffled, a round of six shows each picture once, in any order, across an exit and a restart; the next
// round does not start with the picture that ended the last. Each picture has its own colour, on screen when
// its number is written.
TEST_F(Slideshow, ShuffledRoundAcrossARestart) {
  Pictures pictures;
  const auto colour = [](int n) { return RGB(40 * n, 250 - 40 * n, 120); };
  for (int n = 1; n <= 6; n++) {
    WriteSolidBmp(WorkDir() + "\\S" + std::to_string(n) + ".BMP", 64, 64, colour(n));
    pictures.push_back({"S" + std::to_string(n) + ".BMP", ""});
  }
  std::vector<int> shown;
  const auto watch = [&](size_t until) {
    while (shown.size() < until) {
      int now = 0;
      ASSERT_TRUE(WaitUntil([&] { return (now = StoredPicture()) > 0 && now != (shown.empty() ? 3 : shown.back()); }, 4000));
      shown.push_back(now);
      EXPECT_TRUE(ShowsColour(320, 240, colour(shown.back()), 2000)) << "picture " << shown.back();
    }
  };
  ASSERT_NE(nullptr, Restart(saver, ShowSettings(pictures, "Shuffle=1\r\nFade=0", "ChangeDelay=1\r\nCurrentPicture=3")));
  watch(3);
  MouseTo(100, 100);
  ASSERT_TRUE(saver->WaitForExit(5000));
  MouseTo(639, 479);
  saver.reset(new Saver("/s"));
  watch(7);
  std::vector<int> round(shown.begin(), shown.begin() + 6);
  std::sort(round.begin(), round.end());
  EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5, 6}), round) << "each once";
  EXPECT_NE(shown[5], shown[6]) << "the next round starts with another";
  EXPECT_NE(3, shown[0]) << "the first round starts with another than the one on screen";
}

// The saver on `dir`\SHOW.INI: RED.BMP (written here), then `next`, a change a second, and red on the screen.
std::unique_ptr<Saver> StartShow(const std::string& dir, const char* next, const std::string& main) {
  WriteSolidBmp(dir + "\\RED.BMP", 64, 64, kRed);
  WriteFile(dir + "\\SHOW.INI", std::string("[Properties]\r\nCount=2\r\n[Pictures]\r\n1=RED.BMP\r\n2=") + next + "\r\n");
  std::unique_ptr<Saver> saver;
  EXPECT_TRUE(SetForegroundWindow(Restart(saver, "[Main]\r\nFullScreen=1\r\n" + main + "\r\n[ScreenSaver]\r\nChangeDelay=1\r\n"
                                          "CurrentPicture=0\r\nCurrentSet=Show\r\n[Sets]\r\nShow=" + dir + "\\SHOW.INI\r\n")));
  EXPECT_TRUE(ShowsColour(320, 240, kRed, 6000)) << "no red";
  return saver;
}

// A key pressed while the worker decodes a 24 MP photo (made ahead from the moment red is up), or waits for ever
// on a file after its turn has come, or after the collection file or the settings file has become one that never
// answers: the window goes at once, the process soon after, and the number is stored where it can be.
TEST(Show, InputEndsItAtOnceWhateverTheWorkerDoes) {
  ASSERT_TRUE(CopyFileA(LUMARO_BIG_PHOTO, (WorkDir() + "\\BIG.JPG").c_str(), FALSE)) << GetLastError();
  const struct { const char *name; std::string dir; const char* picture; int wait; std::string silent; int stored; } cases[] = {
      {"a 24 MP photo being made", WorkDir(), "BIG.JPG", 100, "", 1},
      {"a file that never answers", UnixWorkDir(), "SILENT.BMP", 1500, UnixWorkDir() + "\\SILENT.BMP", 2},
      {"a collection file that stops answering", WorkDir(), "RED.BMP", 1500, WorkDir() + "\\SHOW.INI", 0},
      {"a settings file that stops answering", WorkDir(), "RED.BMP", 1500, kSettingsPath, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MouseTo(320, 240);
    const bool picture = c.silent == c.dir + "\\" + c.picture;  // silent from the start; else once red is up
    HANDLE silent = picture ? MakeSilentFile(c.silent) : nullptr;
    std::unique_ptr<Saver> saver = StartShow(c.dir, c.picture, "Fade=0");
    if (!picture && !c.silent.empty()) silent = MakeSilentFile(c.silent);
    ASSERT_EQ(c.silent.empty(), silent == nullptr) << "no FIFO";
    Sleep(c.wait);
    const DWORD start = GetTickCount();
    Press('A');
    ASSERT_TRUE(WaitUntil([&] { return !saver->WaitForWindow(0); }, 2000)) << "the window stayed";
    const DWORD gone = GetTickCount() - start;
    EXPECT_TRUE(saver->WaitForExit(2000)) << "the process stayed";
    printf("%s: window gone %lu ms after the key, the process %lu ms\n", c.name, gone, GetTickCount() - start);
    EXPECT_LE(gone, 100u);
    if (silent) RemoveSilentFile(c.silent, silent);
    if (c.stored) {
      EXPECT_EQ(c.stored, StoredPicture());
    }
  }
  RemoveTree(Wide(UnixWorkDir()));
}

// Red to blue, the centre read as fast as the screen answers: mixed colours on the way when fading (Fade absent or
// 1), none when cutting, and blue exactly at the end.
TEST(Show, AChangeFadesOrCuts) {
  WriteSolidBmp(WorkDir() + "\\BLUE.BMP", 64, 64, kBlue);
  for (const char* main : {"", "Fade=0"}) {
    SCOPED_TRACE(main);
    MouseTo(639, 479);
    std::unique_ptr<Saver> saver = StartShow(WorkDir(), "BLUE.BMP", main);
    std::set<COLORREF> mixed;
    COLORREF last = 0;
    EXPECT_TRUE(WaitUntil([&] {
      if (!Near(last = ScreenPixel(320, 240), kRed) && !Near(last, kBlue)) mixed.insert(last);
      return last == kBlue;
    }, 4000)) << std::hex << "ends at " << last;
    EXPECT_EQ(!*main, mixed.size() >= 3) << mixed.size() << " mixed colours";
  }
}

// Where the edge between black and white lies on row 240, from the white it holds: the row's light over the
// plateau's (at x 600), so that a fading frame measures as a whole one. Also whether a pixel is part-lit.
double EdgeAt(const Screenshot& row, bool* blended, int* plateau) {
  double light = 0;
  *plateau = GetRValue(row(600, 240));
  for (int x = 0; x < 640; x++) {
    const int v = GetRValue(row(x, 240));
    light += v;
    *blended = *blended || (v > 25 && v < *plateau - 25);
  }
  return *plateau ? 640 - light / *plateau : 0;
}

// A white picture with a black quarter at its left, then black. With PanZoom the edge drifts one way, smoothly
// (less than a pixel between reads) and at fractions of a pixel (part-lit pixels), and keeps moving through the
// fade; without it nothing moves between changes.
TEST(Show, PanAndZoom) {
  WriteBmp(WorkDir() + "\\EDGE.BMP", 640, 480, [](int x, int) { return x < 160 ? kBlack : kWhite; });
  WriteSolidBmp(WorkDir() + "\\BLACK.BMP", 64, 64, kBlack);
  for (const char* main : {"PanZoom=1\r\nFullScreen=1", "FullScreen=1"}) {
    SCOPED_TRACE(main);
    MouseTo(639, 479);
    std::unique_ptr<Saver> saver;
    ASSERT_NE(nullptr, Restart(saver, ShowSettings({{"EDGE.BMP", ""}, {"BLACK.BMP", ""}}, main, "ChangeDelay=4\r\nCurrentPicture=0")));
    ASSERT_TRUE(ShowsColour(600, 240, kWhite, 6000));
    if (!strstr(main, "PanZoom")) {
      const Screenshot first;
      Sleep(1500);
      EXPECT_EQ(first.bits, Screenshot().bits) << "moved without PanZoom";
      continue;
    }
    std::vector<double> whole, fading;
    bool blended = false;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 8000;) {
      int plateau = 0;
      const double edge = EdgeAt(Screenshot({0, 240, 640, 241}), &blended, &plateau);
      if (plateau < 20) break;
      (plateau >= 250 ? whole : fading).push_back(edge);
      Sleep(10);
    }
    ASSERT_GT(whole.size(), 20u);
    double most = 0;
    for (size_t i = 1; i < whole.size(); i++) {
      EXPECT_GE((whole[i] - whole[i - 1]) * (whole.back() - whole[0]), -1e-9) << "back and forth at read " << i;
      most = std::max(most, fabs(whole[i] - whole[i - 1]));
    }
    EXPECT_GT(fabs(whole.back() - whole[0]), 2.0) << "hardly moved";
    EXPECT_LT(most, 1.0) << "a jump";
    EXPECT_TRUE(blended) << "whole pixels only";
    printf("reads %zu, edge %.3f to %.3f, largest step %.3f, fading %zu: %.3f to %.3f\n", whole.size(), whole[0], whole.back(), most, fading.size(), fading.empty() ? 0 : fading[0], fading.empty() ? 0 : fading.back());
    ASSERT_GE(fading.size(), 3u) << "no fade seen";
    EXPECT_GT(fabs(fading.back() - fading[0]), 0.2) << "still while fading";
  }
}

// A white photo taken in Paris on a known day: with ShowDate and ShowPlace its bottom band holds white words edged
// in black; with neither, nothing but the picture.
TEST(Show, CaptionFromThePhoto) {
  ASSERT_TRUE(CopyFileA(LUMARO_PARIS_PHOTO, (WorkDir() + "\\PARIS.JPG").c_str(), FALSE)) << GetLastError();
  for (const char* main : {"ShowDate=1\r\nShowPlace=1", "ShowDate=0"}) {
    SCOPED_TRACE(main);
    MouseTo(639, 479);
    std::unique_ptr<Saver> saver;
    ASSERT_NE(nullptr, Restart(saver, ShowSettings({{"PARIS.JPG", ""}}, std::string("FullScreen=1\r\n") + main)));
    ASSERT_TRUE(ShowsColour(320, 240, kWhite, 6000));
    Sleep(300);
    const RECT band = {0, 440, 640, 480};
    const Screenshot shot(band);
    int dark = 0, edged = 0;  // pixels far from white, and those with white beside them
    for (int y = band.top; y < band.bottom; y++)
      for (int x = 3; x < 637; x++) {
        if (Near(shot(x, y), kWhite, 150)) continue;
        dark++;
        edged += Near(shot(x - 3, y), kWhite) || Near(shot(x + 3, y), kWhite);
      }
    const bool captioned = strstr(main, "=1") != nullptr;
    EXPECT_EQ(captioned, edged > 20) << edged << " dark pixels beside white ones";
    EXPECT_EQ(captioned, dark > 0) << dark << " dark pixels";
  }
}

}  // namespace
