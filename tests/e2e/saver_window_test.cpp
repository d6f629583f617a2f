// The full-screen saver window: covers the screen on top, hides the pointer,
// and ends the program at the first real input or loss of activation.
#include <gtest/gtest.h>

#include "driver.h"

using namespace e2e;

namespace {

const char kSettings[] =
    "[ScreenSaver]\r\nChangeDelay=300\r\nCurrentPicture=1\r\nStartDelay=1\r\n";

class SaverWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    MouseTo(320, 240);
    Sleep(100);
    WriteSettings(kSettings);
    ASSERT_TRUE(saver.Start("/s"));
    wnd = saver.WaitForWindow(10000);
    ASSERT_NE(nullptr, wnd) << "no saver window appeared";
    SetForegroundWindow(wnd);
    Sleep(500);  // let creation, activation and the first mouse report settle
    ASSERT_TRUE(saver.Running()) << "the saver closed by itself";
  }

  // The saver ends, with exit code 0, within a few seconds.
  void ExpectClosed() {
    DWORD code = 12345;
    ASSERT_TRUE(saver.WaitForExit(5000, &code)) << "the saver is still running";
    EXPECT_EQ(0u, code);
  }

  void ExpectStillOpen(int ms) {
    EXPECT_FALSE(saver.WaitForExit(ms)) << "the saver closed";
    EXPECT_TRUE(IsWindow(wnd));
  }

  Saver saver;
  HWND wnd = nullptr;
};

TEST_F(SaverWindow, CoversTheWholeScreenOnTop) {
  RECT rc;
  GetWindowRect(wnd, &rc);
  EXPECT_EQ(0, rc.left);
  EXPECT_EQ(0, rc.top);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), rc.right);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), rc.bottom);
  LONG exStyle = GetWindowLongA(wnd, GWL_EXSTYLE);
  LONG style = GetWindowLongA(wnd, GWL_STYLE);
  EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & WS_CAPTION);
  EXPECT_EQ(wnd, WindowFromPoint(POINT{320, 240}));
}

TEST_F(SaverWindow, HidesThePointer) {
  CURSORINFO ci = {};
  ci.cbSize = sizeof ci;
  ASSERT_TRUE(GetCursorInfo(&ci));
  EXPECT_TRUE(ci.hCursor == nullptr || !(ci.flags & CURSOR_SHOWING));
}

TEST_F(SaverWindow, StaysOpenUnderARestingMouse) {
  MouseTo(320, 240);  // the same place: not a move
  ExpectStillOpen(1500);
}

TEST_F(SaverWindow, OnePixelMoveCloses) {
  MouseTo(321, 240);
  ExpectClosed();
}

TEST_F(SaverWindow, LeftButtonCloses) {
  MouseClick(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
  ExpectClosed();
}

TEST_F(SaverWindow, MiddleButtonCloses) {
  MouseClick(MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP);
  ExpectClosed();
}

TEST_F(SaverWindow, RightButtonCloses) {
  MouseClick(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  ExpectClosed();
}

TEST_F(SaverWindow, KeyCloses) {
  KeyPress('A');
  ExpectClosed();
}

TEST_F(SaverWindow, AltCloses) {
  KeyPress(VK_MENU);
  ExpectClosed();
}

TEST_F(SaverWindow, LosingActivationCloses) {
  HWND other = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50,
                               50, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(nullptr, other);
  SetForegroundWindow(other);
  SetActiveWindow(other);
  ExpectClosed();
  DestroyWindow(other);
}

TEST_F(SaverWindow, IgnoresScreenSaveAndCloseCommands) {
  SendMessageA(wnd, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
  SendMessageA(wnd, WM_SYSCOMMAND, SC_CLOSE, 0);
  ExpectStillOpen(1000);
}

// Unrecognised switches: the program ends at once, shows nothing and leaves
// the settings file exactly as it was.
TEST(UnknownSwitch, EndsAtOnceWithoutWindowOrWrite) {
  const std::string before = "[ScreenSaver]\r\nCurrentSet=Sea\r\nCurrentPicture=7\r\n";
  for (const char* args : {"//s", "/x", "c:123", "/c:123", "p", "/p 1234", "a", "\"\"", "/sc"}) {
    WriteSettings(before);
    Saver saver;
    ASSERT_TRUE(saver.Start(args)) << args;
    DWORD code = 1;
    EXPECT_TRUE(saver.WaitForExit(5000, &code)) << args;
    EXPECT_EQ(nullptr, saver.WaitForWindow(0)) << args;
    EXPECT_EQ(before, ReadFile(SettingsPath())) << args;
  }
}

// A second argument after the slideshow switch is ignored.
TEST(SlideshowSwitch, SecondArgumentIgnored) {
  WriteSettings(kSettings);
  Saver saver;
  ASSERT_TRUE(saver.Start("/S 1234"));
  EXPECT_NE(nullptr, saver.WaitForWindow(10000));
}

}  // namespace
