// The full-screen run on two monitors side by side (scripts/test gives it 800 x 600 at 0,0 and 640 x 480 at 800,0):
// the window covers both, each shows the picture and its title in its own rectangle, and the mouse ends it on either.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "driver.h"

using namespace e2e;

namespace {

const COLORREF kBackdrop = RGB(255, 0, 255);

BOOL CALLBACK AddMonitor(HMONITOR, HDC, RECT* rc, LPARAM list) {
  reinterpret_cast<std::vector<RECT>*>(list)->push_back(*rc);
  return TRUE;
}

class TwoMonitors : public ::testing::Test {
 protected:
  void SetUp() override {
    if (GetSystemMetrics(SM_CMONITORS) < 2) {
      const char* expect = getenv("LUMARO_EXPECT_MONITORS");
      if (expect && std::string(expect) == "2") FAIL() << "one monitor, where the X server should give two";
      GTEST_SKIP() << "needs two monitors";
    }
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, LPARAM(&monitors));  // left to right
    std::sort(monitors.begin(), monitors.end(), [](const RECT& a, const RECT& b) { return a.left < b.left; });
    WriteSolidBmp(WorkDir() + "\\RED.BMP", 200, 100, kRed);
  }

  void Run(const std::string& main, const char* title = "") {
    ASSERT_NE(nullptr, Restart(saver, ShowSettings({{"RED.BMP", title}}, main)));
    EXPECT_TRUE(WaitUntil([&] {  // the picture in the middle of every monitor
      for (const RECT& m : monitors)
        if (!Near(ScreenPixel((m.left + m.right) / 2, (m.top + m.bottom) / 2), kRed)) return false;
      return true;
    }, 4000));
    Sleep(200);
  }

  std::vector<RECT> monitors;
  std::unique_ptr<Saver> saver;
};

// Each monitor as the one monitor of a single-monitor run: the picture centred at its own size or stretched to the
// monitor, black around, the title at the monitor's top edge and centred on it. A window of its own colour behind
// covers the whole virtual screen: none of it may show.
TEST_F(TwoMonitors, PictureAndTitleOnEachMonitor) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA, wc.lpszClassName = "LumaroBackdrop", wc.hbrBackground = CreateSolidBrush(kBackdrop);
  ASSERT_TRUE(RegisterClassA(&wc));
  const RECT v = VirtualScreenRect();
  HWND backdrop = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, v.left, v.top, v.right - v.left,
                                  v.bottom - v.top, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return Near(ScreenPixel(monitors[1].right - 1, monitors[1].bottom - 1), kBackdrop); }, 2000));
  const struct { const char *main, *title; bool stretched; } cases[] = {
      {"FullScreen=0\r\nEachMonitor=0", "", false}, {"FullScreen=1", "", true}, {"FullScreen=1\r\nShowTitle=1", "MMMMMMMM", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.main);
    Run(c.main, c.title);
    const Screenshot shot(v);
    for (const RECT& m : monitors) {
      SCOPED_TRACE(m.left);
      EXPECT_EQ(0, CountColour(shot, kBackdrop, m)) << "the desktop shows";
      const int l = m.left + (m.right - m.left - 200) / 2, t = m.top + (m.bottom - m.top - 100) / 2, mid = (m.left + m.right) / 2;
      if (*c.title) {
        const int left = CountColour(shot, kWhite, {m.left, m.top, mid, m.top + 30}),
                  right = CountColour(shot, kWhite, {mid, m.top, m.right, m.top + 30});
        EXPECT_TRUE(left + right > 100 && abs(left - right) <= (left + right) / 8) << left << " white pixels left of the middle, " << right << " right";
        EXPECT_EQ(0, CountColour(shot, kWhite, {m.left, m.top + 30, m.right, m.bottom})) << "white below the title";
      }
      for (POINT p : {POINT{l, t}, POINT{l + 199, t + 99}, POINT{m.left, m.bottom - 1}, POINT{m.right - 1, m.top + 40}})
        EXPECT_TRUE(Near(shot(p.x, p.y), c.stretched || p.x == l || p.x == l + 199 ? kRed : 0)) << p.x << "," << p.y;
      for (POINT p : {POINT{l - 1, t}, POINT{l, t - 1}, POINT{l + 200, t + 99}, POINT{l + 199, t + 100}})
        EXPECT_TRUE(c.stretched || Near(shot(p.x, p.y), 0)) << p.x << "," << p.y;
    }
  }
  DestroyWindow(backdrop);
}

// Both monitors' middles every 40 ms for `ms`: when each colour came on each.
using Changes = std::vector<std::pair<DWORD, COLORREF>>;
std::vector<Changes> Watch(const std::vector<RECT>& monitors, DWORD ms) {
  std::vector<Changes> seen(2);
  const RECT v = VirtualScreenRect();
  for (DWORD start = GetTickCount(), now = start; now - start < ms; Sleep(40), now = GetTickCount()) {
    const Screenshot shot(v);
    for (int m = 0; m < 2; ++m) {
      const COLORREF c = shot((monitors[m].left + monitors[m].right) / 2 - v.left, (monitors[m].top + monitors[m].bottom) / 2 - v.top);
      if (!Near(c, kBlack) && (seen[m].empty() || !Near(c, seen[m].back().second))) seen[m].push_back({now, c});
    }
  }
  return seen;
}

// EachMonitor: each monitor its own picture, the two changing 1 s apart (a 2 s delay over two monitors), every
// colour of a round of six once. PairPortraits: two portraits side by side on each monitor, a black gap between.
TEST_F(TwoMonitors, EachItsOwnPictureAndPairs) {
  const COLORREF six[] = {kRed, RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0), RGB(0, 255, 255), kWhite};
  Pictures wide, tall = {{"TALL1.BMP", ""}, {"TALL2.BMP", ""}};
  for (int i = 0; i < 6; ++i) WriteSolidBmp(WorkDir() + "\\" + wide.emplace_back("W" + std::to_string(i) + ".BMP", "").first, 200, 100, six[i]);
  WriteSolidBmp(WorkDir() + "\\TALL1.BMP", 100, 200, six[0]), WriteSolidBmp(WorkDir() + "\\TALL2.BMP", 100, 200, six[2]);
  const std::pair<const char*, std::function<void()>> rows[] = {
      {"EachMonitor=1", [&] {
         const auto seen = Watch(monitors, 12500);
         Changes all = seen[0];
         all.insert(all.end(), seen[1].begin(), seen[1].end()), std::sort(all.begin(), all.end());
         ASSERT_GE(all.size(), 10u) << "too few changes";
         for (const COLORREF c : six)  // the round: the first six shown
           EXPECT_EQ(1, std::count_if(all.begin(), all.begin() + 6, [&](auto& s) { return Near(s.second, c); })) << std::hex << c;
         for (size_t i = 1; i < seen[1].size(); ++i)  // after the first, no change of one within 400 ms of the other's
           for (const auto& other : seen[0]) EXPECT_GT(abs(int(seen[1][i].first - other.first)), 400) << "both changed at once";
       }},
      {"EachMonitor=1\r\nPairPortraits=1", [&] {
         for (const RECT& m : monitors) {
           const int x = (m.left + m.right) / 2, y = (m.top + m.bottom) / 2;
           EXPECT_TRUE(ShowsColour(x - 50, y, six[0]) && ShowsColour(x + 50, y, six[2]) && Near(ScreenPixel(x, y), kBlack)) << m.left;
         }
       }},
  };
  for (const auto& [main, check] : rows) {
    SCOPED_TRACE(main);
    ASSERT_NE(nullptr, Restart(saver, ShowSettings(strstr(main, "Pair") ? tall : wide, main + std::string("\r\nFade=0"),
                                                   "ChangeDelay=2\r\nCurrentPicture=0")));
    check();
  }
}

// The pointer resting on the second monitor through the start keeps the saver; a move of a pixel there ends it.
TEST_F(TwoMonitors, MouseOnTheSecondMonitor) {
  const POINT rest = {(monitors[1].left + monitors[1].right) / 2, (monitors[1].top + monitors[1].bottom) / 2};
  MouseTo(rest.x, rest.y);
  Run("");
  EXPECT_FALSE(saver->WaitForExit(1500)) << "closed under a resting mouse";
  MouseTo(rest.x + 1, rest.y);
  EXPECT_TRUE(saver->WaitForExit(5000)) << "a move on the second monitor did not end it";
}

}  // namespace
