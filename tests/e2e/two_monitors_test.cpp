// The full-screen run on two monitors side by side (scripts/test gives it 800 x 600 at 0,0 and 640 x 480 at 800,0):
// the window covers both, each shows the picture and its title in its own rectangle, and the mouse ends it on either.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "driver.h"

using namespace e2e;

namespace {

const COLORREF kRed = RGB(220, 30, 40), kGrey = RGB(90, 90, 90), kBlack = 0, kWhite = RGB(255, 255, 255);
const COLORREF kBackdrop = RGB(255, 0, 255);  // a colour the saver never paints with these pictures

BOOL CALLBACK AddMonitor(HMONITOR, HDC, RECT* rc, LPARAM list) {
  reinterpret_cast<std::vector<RECT>*>(list)->push_back(*rc);
  return TRUE;
}

std::vector<RECT> Monitors() {  // left to right
  std::vector<RECT> found;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, LPARAM(&found));
  std::sort(found.begin(), found.end(), [](const RECT& a, const RECT& b) { return a.left < b.left; });
  return found;
}

int Count(const Screenshot& shot, COLORREF colour, int left, int top, int right, int bottom, int tolerance = 8) {
  int n = 0;
  for (int y = top; y < bottom; y++)
    for (int x = left; x < right; x++) n += Near(shot(x, y), colour, tolerance);
  return n;
}

class TwoMonitors : public ::testing::Test {
 protected:
  void SetUp() override {
    if (GetSystemMetrics(SM_CMONITORS) < 2) {
      const char* expect = getenv("LUMARO_EXPECT_MONITORS");
      if (expect && std::string(expect) == "2") FAIL() << "one monitor, where the X server should give two";
      GTEST_SKIP() << "needs two monitors";
    }
    monitors = Monitors();
    WriteSolidBmp(WorkDir() + "\\RED.BMP", 200, 100, kRed);
    WriteSolidBmp(WorkDir() + "\\GREY.BMP", 200, 100, kGrey);
  }

  HWND Run(const std::string& main, const char* file = "RED.BMP", const char* title = "") {
    saver.reset();
    WriteSettings("[Main]\r\n" + main + "\r\n[ScreenSaver]\r\nCurrentSet=Test\r\n[Sets]\r\nTest=" +
                  WriteCollection("C", 1, {{file, title}}));
    saver.reset(new Saver("/s"));
    return saver->WaitForWindow(10000);
  }

  bool WaitForCentres(COLORREF colour) {  // the picture's colour in the middle of every monitor
    return WaitUntil([&] {
      for (const RECT& m : monitors)
        if (!Near(ScreenPixel((m.left + m.right) / 2, (m.top + m.bottom) / 2), colour)) return false;
      return true;
    }, 4000);
  }

  std::vector<RECT> monitors;
  std::unique_ptr<Saver> saver;
};

// A window of its own colour behind covers the whole virtual screen: none of it may show on either monitor.
TEST_F(TwoMonitors, CoversEveryPixelOfBothMonitors) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA, wc.lpszClassName = "LumaroBackdrop", wc.hbrBackground = CreateSolidBrush(kBackdrop);
  ASSERT_TRUE(RegisterClassA(&wc));
  const RECT v = VirtualScreenRect();
  HWND backdrop = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, v.left, v.top, v.right - v.left,
                                  v.bottom - v.top, nullptr, nullptr, nullptr, nullptr);
  UpdateWindow(backdrop);
  ASSERT_TRUE(WaitUntil([&] { return Near(ScreenPixel(monitors[1].right - 1, monitors[1].bottom - 1), kBackdrop); }, 2000));
  ASSERT_NE(nullptr, Run("FullScreen=0"));
  WaitForCentres(kRed);
  Sleep(300);
  for (const RECT& m : monitors) {
    const Screenshot shot(m);
    EXPECT_EQ(0, Count(shot, kBackdrop, m.left, m.top, m.right, m.bottom))
        << "backdrop pixels on the monitor at " << m.left << "," << m.top;
  }
  DestroyWindow(backdrop);
}

// Each monitor as the one monitor of a single-monitor run: the picture centred at its own size or stretched to the
// monitor, black around, and the title at the monitor's top edge, as much of it left of the monitor's middle as right.
TEST_F(TwoMonitors, PictureAndTitleOnEachMonitor) {
  const struct {
    const char *name, *main, *file, *title;
    COLORREF colour;
  } cases[] = {
      {"own size, centred", "FullScreen=0", "RED.BMP", "", kRed},
      {"stretched", "FullScreen=1", "GREY.BMP", "", kGrey},
      {"title", "FullScreen=1\r\nShowTitle=1", "RED.BMP", "MMMMMMMM", kRed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_NE(nullptr, Run(c.main, c.file, c.title));
    EXPECT_TRUE(WaitForCentres(c.colour)) << "the picture's colour missing in the middle of a monitor";
    Sleep(200);
    const Screenshot shot(VirtualScreenRect());
    for (const RECT& m : monitors) {
      SCOPED_TRACE("monitor at " + std::to_string(m.left) + "," + std::to_string(m.top));
      const int l = m.left + (m.right - m.left - 200) / 2, t = m.top + (m.bottom - m.top - 100) / 2;
      const int r = m.right - 1, b = m.bottom - 1, mid = (m.left + m.right) / 2;
      std::vector<POINT> in = {{m.left, b}, {r, b}}, out;  // the picture's colour, black
      if (*c.title) {
        EXPECT_GT(Count(shot, kWhite, m.left, m.top, m.right, m.top + 23, 40), 50) << "no title";
        EXPECT_EQ(0, Count(shot, kWhite, m.left, m.top + 30, m.right, m.bottom, 40)) << "white below the title";
        const int left = Count(shot, kWhite, m.left, m.top, mid, m.top + 46, 40);
        const int right = Count(shot, kWhite, mid, m.top, m.right, m.top + 46, 40);
        EXPECT_LE(abs(left - right), (left + right) / 8) << left << " white pixels left of the middle, " << right << " right";
      } else if (strstr(c.main, "FullScreen=1")) {
        in.insert(in.end(), {{m.left, m.top}, {r, m.top}});
      } else {
        in = {{l, t}, {l + 199, t + 99}};
        out = {{l - 1, t}, {l, t - 1}, {l + 200, t + 99}, {l + 199, t + 100}, {m.left, m.top}, {r, b}};
      }
      for (POINT p : in) EXPECT_TRUE(Near(shot(p.x, p.y), c.colour)) << p.x << "," << p.y;
      for (POINT p : out) EXPECT_TRUE(Near(shot(p.x, p.y), kBlack)) << p.x << "," << p.y;
    }
  }
}

// The pointer resting on the second monitor through the start keeps the saver; a move of a pixel there ends it.
TEST_F(TwoMonitors, MouseOnTheSecondMonitor) {
  const POINT rest = {(monitors[1].left + monitors[1].right) / 2, (monitors[1].top + monitors[1].bottom) / 2};
  for (bool move : {false, true}) {
    SCOPED_TRACE(move ? "a pixel's move" : "at rest");
    MouseTo(rest.x, rest.y);
    Sleep(100);
    HWND wnd = Run("");
    ASSERT_NE(nullptr, wnd);
    SetForegroundWindow(wnd);
    Sleep(500);
    ASSERT_TRUE(saver->Running()) << "closed by itself";
    if (move) MouseTo(rest.x + 1, rest.y);
    EXPECT_EQ(move, saver->WaitForExit(move ? 5000 : 1500)) << "ended or not";
  }
}

}  // namespace
