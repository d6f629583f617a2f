// The full-screen saver window: covers the screen on top, hides the pointer,
// and ends the program at the first real input or loss of activation.
#include <gtest/gtest.h>

#include "driver.h"

using namespace e2e;

namespace {

// Starts the saver with the pointer resting mid-screen and lets creation,
// activation and the first mouse report settle.
HWND StartSaver(Saver& saver, const char* args) {
  MouseTo(320, 240);
  Sleep(100);
  WriteSettings("[ScreenSaver]\r\nChangeDelay=300\r\nCurrentPicture=1\r\n");
  HWND wnd = saver.Start(args) ? saver.WaitForWindow(10000) : nullptr;
  SetForegroundWindow(wnd);
  Sleep(500);
  return saver.Running() ? wnd : nullptr;
}

TEST(SaverWindow, CoversTheScreenOnTopHidesThePointerAndStaysOpen) {
  Saver saver;
  HWND wnd = StartSaver(saver, "/S 1234");  // a second argument is ignored
  ASSERT_NE(nullptr, wnd) << "no saver window, or it closed by itself";
  RECT rc, screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  GetWindowRect(wnd, &rc);
  EXPECT_TRUE(EqualRect(&rc, &screen));
  EXPECT_TRUE(GetWindowLongA(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(WS_POPUP, GetWindowLongA(wnd, GWL_STYLE) & (WS_POPUP | WS_CAPTION));
  EXPECT_EQ(wnd, WindowFromPoint(POINT{320, 240}));
  EXPECT_TRUE(PointerHidden());
  MouseTo(320, 240);  // the same place: not a move
  EXPECT_FALSE(saver.WaitForExit(1500)) << "closed under a resting mouse";
  SendMessageA(wnd, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
  SendMessageA(wnd, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(saver.WaitForExit(1000)) << "closed on SC_SCREENSAVE or SC_CLOSE";
}

TEST(SaverWindow, ClosesOnInputAndOnLosingActivation) {
  HWND other = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "other", WS_POPUP, 0, 0, 50, 50, nullptr,
                               nullptr, nullptr, nullptr);
  const struct {
    const char* name;
    std::function<void()> act;
  } cases[] = {
      {"one-pixel move", [] { MouseTo(321, 240); }}, {"left button", [] { Press(VK_LBUTTON); }},
      {"middle button", [] { Press(VK_MBUTTON); }},  {"right button", [] { Press(VK_RBUTTON); }},
      {"key", [] { Press('A'); }},                   {"Alt", [] { Press(VK_MENU); }},
      {"another window activated", [&] {
         ShowWindow(other, SW_SHOW);
         SetForegroundWindow(other);
         SetActiveWindow(other);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Saver saver;
    ASSERT_NE(nullptr, StartSaver(saver, "/s"));
    c.act();
    DWORD code = 12345;
    EXPECT_TRUE(saver.WaitForExit(5000, &code)) << "still running";
    EXPECT_EQ(0u, code);
  }
  DestroyWindow(other);
}

// Which switches mean nothing is the switch matcher's affair, tested on its
// own; here, that such a start ends at once, shows nothing, writes nothing.
TEST(UnknownSwitch, EndsAtOnceWithoutWindowOrWrite) {
  const std::string before = "[ScreenSaver]\r\nCurrentSet=Sea\r\nCurrentPicture=7\r\n";
  for (const char* args : {"/p 1234", "//s"}) {
    SCOPED_TRACE(args);
    WriteSettings(before);
    Saver saver;
    ASSERT_TRUE(saver.Start(args));
    EXPECT_TRUE(saver.WaitForExit(5000));
    EXPECT_EQ(nullptr, saver.WaitForWindow(0));
    EXPECT_EQ(before, ReadFile(SettingsPath()));
  }
}

}  // namespace
