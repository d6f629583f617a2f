// lumaro.scr started by the screen-saver host: the live preview inside the host's small monitor, and the
// dialog of its Settings button. This program plays the host. Under Wine a child window of another process
// never reaches the screen, so the preview is judged by its placement and behaviour; its pixels are the
// dialog preview's.
#include <gtest/gtest.h>
#include <windows.h>

#include "driver.h"

using namespace e2e;

namespace {

// A host window, its client area the size of the host's monitor picture, in the middle of the 640x480 test screen,
// where a dialog centred over it fits in height; its thread is ours, and WaitUntil handles its messages.
struct Host {
  Host() {
    RECT rc = {0, 0, 152, 112};
    AdjustWindowRect(&rc, WS_OVERLAPPEDWINDOW, FALSE);
    wnd = CreateWindowExA(0, "STATIC", "Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 240, 140, rc.right - rc.left,
                          rc.bottom - rc.top, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(wnd);
  }
  ~Host() { DestroyWindow(wnd); }
  std::string Number() const { return std::to_string(reinterpret_cast<UINT_PTR>(wnd)); }
  HWND wnd;
};

void WriteRedSettings() {
  WriteSolidBmp(WorkDir() + "\\RED.BMP", 64, 64, kRed);
  WriteSettings(ShowSettings({{"RED.BMP", ""}}, "FullScreen=0", "CurrentPicture=3\r\nChangeDelay=1"));
}

// The preview fills the host's client area at once, is never activated, outlives any input, writes nothing and
// ends with the host's window.
TEST(Host, PreviewInTheHostsWindow) {
  WriteRedSettings();
  Desktop("ScreenSaveTimeOut", "420");
  const std::string settings = ReadFile(kSettingsPath);
  Host host;
  const DWORD launched = GetTickCount();
  Saver saver("/p " + host.Number());
  HWND child = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (child = GetWindow(host.wnd, GW_CHILD)) != nullptr && IsWindowVisible(child); }, 5000));
  printf("the preview appeared %lu ms after the start\n", GetTickCount() - launched);
  DWORD pid = 0, thread = GetWindowThreadProcessId(child, &pid);
  RECT client, placed;
  GetClientRect(host.wnd, &client);
  GetWindowRect(child, &placed);
  MapWindowPoints(nullptr, host.wnd, reinterpret_cast<POINT*>(&placed), 2);
  EXPECT_TRUE(pid == saver.Id() && EqualRect(&client, &placed)) << placed.left << "," << placed.top << " " << placed.right << "," << placed.bottom;

  for (UINT msg : {WM_MOUSEMOVE, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_KEYDOWN, WM_SYSKEYDOWN, WM_CLOSE})
    PostMessageA(child, msg, msg == WM_KEYDOWN ? 'A' : 0, msg == WM_MOUSEMOVE ? MAKELPARAM(rand() % 100, 7) : 0);
  WaitUntil([] { return false; }, 1500);
  EXPECT_TRUE(IsWindow(child) && saver.Running()) << "the preview closed";
  GUITHREADINFO gui = {};
  gui.cbSize = sizeof gui;
  GetGUIThreadInfo(thread, &gui);
  EXPECT_TRUE(gui.hwndFocus != child && gui.hwndActive != child && GetForegroundWindow() == host.wnd);

  // Wine takes 2 s to destroy a window with a child of another process, whatever the child does.
  const DWORD start = GetTickCount();
  DestroyWindow(host.wnd);
  const DWORD destroyed = GetTickCount();
  EXPECT_TRUE(WaitUntil([&] { return !saver.Running(); }, 2000)) << "outlived its host";
  printf("host destroyed in %lu ms, the saver ended %lu ms later\n", destroyed - start, GetTickCount() - destroyed);
  EXPECT_EQ(settings, ReadFile(kSettingsPath));
  EXPECT_EQ("420", Desktop("ScreenSaveTimeOut"));
  Saver none("/p 99999");  // no such window
  EXPECT_TRUE(none.WaitForExit(3000));
}

// The Settings button's dialog is modal to the host's window and centred over it; OK saves, Exit does not.
TEST(Host, SettingsButtonsDialog) {
  const struct { const char* form; bool owned; int button; } cases[] = {
      {"/c:", true, IDOK}, {"/c ", true, IDCANCEL}, {"-C:99999", false, IDCANCEL}};
  for (const auto& c : cases) {
    WriteRedSettings();
    const std::string settings = ReadFile(kSettingsPath);
    Host host;
    Saver saver(c.form + (c.owned ? host.Number() : ""));
    HWND dlg = saver.WaitForWindow(10000, "Lumaro Configuration");
    ASSERT_NE(nullptr, dlg) << c.form;
    EXPECT_EQ(c.owned ? host.wnd : nullptr, GetWindow(dlg, GW_OWNER)) << c.form;
    EXPECT_EQ(!c.owned, IsWindowEnabled(host.wnd) != FALSE) << c.form << ": modal to its owner";
    RECT d, h;
    GetWindowRect(dlg, &d);
    GetWindowRect(host.wnd, &h);
    if (c.owned) {
      EXPECT_TRUE((abs((d.left + d.right) - (h.left + h.right)) <= 1 || d.left == 0) && abs((d.top + d.bottom) - (h.top + h.bottom)) <= 1)
          << c.form << " not centred over the host";
    }
    PostMessageA(GetDlgItem(dlg, c.button), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !saver.Running(); }, 5000)) << c.form;
    EXPECT_EQ(c.button == IDCANCEL, settings == ReadFile(kSettingsPath)) << c.form;
    EXPECT_TRUE(IsWindowEnabled(host.wnd)) << c.form;
  }
}

}  // namespace
