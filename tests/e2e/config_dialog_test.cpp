// The configuration dialog worked as a user would, and what reaches LUMARO.INI, the time-out and the wallpaper.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <set>

#include "driver.h"
#include "res/resource.h"

using namespace e2e;

namespace {

const COLORREF kRed = RGB(220, 30, 40), kGreen = RGB(30, 200, 60), kBlue = RGB(40, 60, 220);

// A catalogue entry for a collection whose pictures 1 to 7 are NAME.BMP in one colour.
std::string Entry(const std::string& name, COLORREF colour) {
  WriteSolidBmp(WorkDir() + "\\" + name + ".BMP", 64, 64, colour);
  return name + "=" + WriteCollection(name, 7, Pictures(7, {name + ".BMP", ""})) + "\r\n";
}

// A catalogue entry for a collection whose picture 1 is twice the preview's size, in red and white pixels.
const COLORREF kPink = RGB(255, 128, 128);
std::string Board() {
  WriteBmp(WorkDir() + "\\BOARD.BMP", 306, 224, [](int x, int y) { return (x + y) % 2 ? RGB(255, 0, 0) : RGB(255, 255, 255); });
  return "Board=" + WriteCollection("Board", 1, {{"BOARD.BMP", ""}}) + "\r\n";
}

// Every key of the record is there, so that a save rewrites each in place.
std::string Settings(const std::string& set, const char* update = "0", const char* start = "5", const char* change = "300",
                     const std::string& main = "ShowTitle=1\r\nFullScreen=0\r\nFade=1\r\nShuffle=0") {
  return "[ScreenSaver]\r\nCurrentSet=" + set + "\r\nCurrentPicture=7\r\nStartDelay=" + start + "\r\nChangeDelay=" +
         change + "\r\n[Main]\r\nSubfolders=1\r\n" + main + "\r\n[Wallpaper]\r\nUpdateWallpaper=" + update + "\r\n" +
         "[Sets]\r\n" + Entry("Red", kRed) + Entry("Green", kGreen) + Entry("Blue", kBlue) + Entry("Abcdef", kBlue) +
         Entry("Abc", kRed);
}

// A text the control answers `msg` with, or "<none>".
std::string Ask(HWND wnd, UINT msg, WPARAM wParam = 300) {
  wchar_t text[300] = L"<none>";
  SendMessageW(wnd, msg, wParam, LPARAM(text));
  return std::string(text, text + wcslen(text));
}

RECT Rect(HWND wnd) {
  RECT rc = {};
  GetWindowRect(wnd, &rc);
  return rc;
}

// LogPixels under HKCU\Control Panel\Desktop, which Wine reads as a process starts: the dialogs
// opened while the object lives are laid out at `dpi`. The value before, or its absence, comes back after.
class SystemDpi {
 public:
  explicit SystemDpi(DWORD dpi) {
    DWORD size = sizeof old_;
    had_ = SHGetValueA(HKEY_CURRENT_USER, kKey, "LogPixels", nullptr, &old_, &size) == ERROR_SUCCESS;
    SHSetValueA(HKEY_CURRENT_USER, kKey, "LogPixels", REG_DWORD, &dpi, sizeof dpi);
  }
  ~SystemDpi() {
    if (had_) SHSetValueA(HKEY_CURRENT_USER, kKey, "LogPixels", REG_DWORD, &old_, sizeof old_);
    else SHDeleteValueA(HKEY_CURRENT_USER, kKey, "LogPixels");
  }

 private:
  static constexpr const char* kKey = "Control Panel\\Desktop";
  DWORD old_ = 0;
  bool had_ = false;
};

class ConfigDialog : public ::testing::Test {
 protected:
  void Open(const std::string& settings) {  // a fresh dialog, the one before killed first
    MouseTo(1, 1);
    saver.reset();
    Desktop("ScreenSaveTimeOut", "420");
    Desktop("Wallpaper", "");
    WriteSettings(settings);
    saver.reset(new Saver(""));
    ASSERT_NE(nullptr, dlg = saver->WaitForWindow(10000, "Lumaro Configuration")) << "no dialog";
  }

  HWND Item(int id) const { return GetDlgItem(dlg, id); }
  char Checked(int id) const { return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED ? '1' : '0'; }
  void Click(int id) { PostMessageW(Item(id), BM_CLICK, 0, 0); }  // posted: a message box must not block us
  std::string ListItem(LRESULT i) { return Ask(Item(IDC_COLLECTIONS), LB_GETTEXT, WPARAM(i)); }
  std::string Selected() { return ListItem(SendMessageW(Item(IDC_COLLECTIONS), LB_GETCURSEL, 0, 0)); }

  // The highlighted item, the two fields and the four checks, in one line.
  std::string Shown() {
    return Selected() + " " + Ask(Item(IDC_START_DELAY), WM_GETTEXT) + " " + Ask(Item(IDC_CHANGE_DELAY), WM_GETTEXT) +
           " " + Checked(IDC_UPDATE_WALLPAPER) + Checked(IDC_FULL_SCREEN) + Checked(IDC_SHOW_TITLE) + Checked(IDC_FADE);
  }

  void Pick(const std::string& name) {  // a real click on the item
    RECT rc = {};
    const std::wstring wide(name.begin(), name.end());
    HWND list = Item(IDC_COLLECTIONS);
    SendMessageW(list, LB_GETITEMRECT, SendMessageW(list, LB_FINDSTRINGEXACT, -1, LPARAM(wide.c_str())), LPARAM(&rc));
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    MouseTo(rc.left + 10, (rc.top + rc.bottom) / 2);
    Press(VK_LBUTTON);
    MouseTo(1, 1);
    EXPECT_TRUE(WaitUntil([&] { return Selected() == name; }, 2000)) << name;
  }

  HWND Preview() {  // the dialog's top child when it is the preview, a window without an id
    HWND top = GetWindow(dlg, GW_CHILD);
    return GetDlgCtrlID(top) == 0 && IsWindowVisible(top) ? top : nullptr;
  }

  // The preview's centre, and its corners too when asked, show `colour` within `ms`.
  bool PreviewShows(COLORREF colour, int ms, bool corners = false) {
    return WaitUntil([&] {
      const RECT r = Rect(Item(IDC_PREVIEW_AREA));
      const POINT p[] = {{(r.left + r.right) / 2, (r.top + r.bottom) / 2}, {r.left, r.top},
                         {r.right - 1, r.top}, {r.left, r.bottom - 1}, {r.right - 1, r.bottom - 1}};
      return std::all_of(p, p + (corners ? 5 : 1), [&](POINT q) { return Near(ScreenPixel(q.x, q.y), colour); });
    }, ms);
  }

  std::unique_ptr<Saver> saver;
  HWND dlg = nullptr;
};

// What the dialog shows, how it answers and how it is left: OK saves the whole record, sets the time-out
// to StartDelay x 60 and, when asked, the wallpaper; Exit and Escape save nothing.
TEST_F(ConfigDialog, ShowsAnswersAndSavesOnlyOnOk) {
  auto shows = [&](const char* shown) { return [=] { EXPECT_EQ(shown, Shown()); }; };
  const struct {
    const char* name;
    std::string settings;
    std::function<void()> act;
    int leave;              // IDOK, IDCANCEL or VK_ESCAPE
    std::string saved;      // the settings file at the end, when not as it was
    int timeout;
    const char* wallpaper;  // the collection whose picture 7 it is, or ""
  } cases[] = {
      {"shown centred", Settings("Green", "1", "5", "1234"), [&] {
         RECT rc = Rect(dlg), monitor = Rect(Item(IDC_MONITOR)), area;
         SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
         EXPECT_LE(abs(area.left + area.right - rc.left - rc.right) + abs(area.top + area.bottom - rc.top - rc.bottom), 2);
         EXPECT_FALSE(GetWindowLongA(dlg, GWL_STYLE) & WS_SYSMENU);
         EXPECT_EQ("Abc Abcdef Blue Green Red <none>", ListItem(0) + " " + ListItem(1) + " " + ListItem(2) + " " +
                                                           ListItem(3) + " " + ListItem(4) + " " + ListItem(5));
         EXPECT_EQ("Green 5 1234 1011", Shown());
         // Buddy integers without thousands separators; arrow keys for the first only.
         EXPECT_EQ(0x500000B6, GetWindowLongA(Item(IDC_START_DELAY_SPIN), GWL_STYLE));
         EXPECT_EQ(0x50000096, GetWindowLongA(Item(IDC_CHANGE_DELAY_SPIN), GWL_STYLE));
         EXPECT_FALSE(IsWindowVisible(Item(IDC_PREVIEW_AREA)));
         EXPECT_TRUE(Near(ScreenPixel(monitor.left + 105, monitor.top + 149), RGB(0, 255, 0))) << "no monitor";
         // Tab goes round the dialog, never stopping on the list or the monitor.
         std::set<int> stops;
         for (HWND w = nullptr; stops.insert(GetDlgCtrlID(w = GetNextDlgTabItem(dlg, w, FALSE))).second;) continue;
         EXPECT_EQ(0u, stops.count(IDC_COLLECTIONS) + stops.count(IDC_MONITOR));
         EXPECT_EQ(2u, stops.count(IDC_START_DELAY) + stops.count(IDCANCEL));
       }, IDOK, "", 300, "Green"},
      {"pointer and clicks on the preview, a pick, Exit", Settings("Red"), [&] {
         ASSERT_TRUE(PreviewShows(kRed, 3000));
         const RECT rc = Rect(Item(IDC_PREVIEW_AREA));
         MouseTo(rc.left + 20, rc.top + 20);
         Sleep(300);
         EXPECT_TRUE(PointerHidden()) << "over the preview";
         for (WORD button : {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON}) Press(button);
         MouseTo(1, 1);
         RedrawWindow(dlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
         Sleep(1500);
         EXPECT_NE(nullptr, Preview()) << "the preview closed";
         EXPECT_TRUE(PreviewShows(kRed, 0)) << "the clicks or a repaint erased the preview";
         SetDlgItemTextA(dlg, IDC_START_DELAY, "9");
         Pick("Blue");
         EXPECT_TRUE(PreviewShows(kBlue, 1500)) << "the picked collection is not previewed in time";
       }, IDCANCEL, "", 420, ""},
      {"Escape", Settings("Red"), [&] { Pick("Blue"); }, VK_ESCAPE, "", 420, ""},
      // OK with a text that is no number: a prompt says why and goes with its button; the dialog stays, the
      // field at fault focused with its whole text selected.
      {"not a number", Settings("Red"), [&] {
         Pick("Blue");
         SetDlgItemTextA(dlg, IDC_CHANGE_DELAY, "12a");
         Click(IDOK);
         HWND prompt = saver->WaitForWindow(5000, "Lumaro");
         ASSERT_NE(nullptr, prompt) << "no prompt";
         EXPECT_EQ("Please enter an integer.", Ask(GetDlgItem(prompt, 0xFFFF), WM_GETTEXT));
         PostMessageW(GetDlgItem(prompt, IDOK), BM_CLICK, 0, 0);
         GUITHREADINFO info = {};
         info.cbSize = sizeof info;
         EXPECT_TRUE(WaitUntil([&] {
           return !IsWindow(prompt) && GetGUIThreadInfo(GetWindowThreadProcessId(dlg, nullptr), &info) &&
                  info.hwndFocus == Item(IDC_CHANGE_DELAY);
         }, 5000)) << "the field lacks the focus";
         EXPECT_EQ(MAKELONG(0, 3), SendMessageW(Item(IDC_CHANGE_DELAY), EM_GETSEL, 0, 0));
       }, IDCANCEL, "", 420, ""},
      {"every field changed", Settings("Red", "0", "5", "300", "ShowTitle=0\r\nFullScreen=1\r\nFade=1\r\nShuffle=0"), [&] {
         Pick("Blue");
         SetDlgItemTextA(dlg, IDC_START_DELAY, "3");
         SetDlgItemTextA(dlg, IDC_CHANGE_DELAY, "45");
         Click(IDC_FULL_SCREEN);
         Click(IDC_SHOW_TITLE);
         Click(IDC_FADE);
         Click(IDC_SHUFFLE);
         ASSERT_TRUE(WaitUntil([&] { return Shown() == "Blue 3 45 0010" && Checked(IDC_SHUFFLE) == '1'; }, 2000)) << Shown();
       }, IDOK, Settings("Blue", "0", "3", "45", "ShowTitle=1\r\nFullScreen=0\r\nFade=0\r\nShuffle=1"), 180, ""},
      {"switched with the wallpaper on", Settings("Red", "1"), [&] { Pick("Blue"); }, IDOK, Settings("Blue", "1"), 300,
       "Blue"},
      // Delays beyond the arrows' range are kept; checks outside 0-2 are 0.
      {"stored values out of range", Settings("Red", "0", "90", "40000", "ShowTitle=5\r\nFullScreen=-1\r\nFade=7\r\nShuffle=0"),
       shows("Red 90 40000 0000"), IDOK, Settings("Red", "0", "90", "40000", "ShowTitle=0\r\nFullScreen=0\r\nFade=0\r\nShuffle=0"),
       5400, ""},
      // Fade is on when the key is absent, Shuffle off; OK writes them.
      {"no Fade key", Settings("Red", "0", "5", "300", "ShowTitle=1\r\nFullScreen=0"), shows("Red 5 300 0011"), IDOK,
       Settings("Red", "0", "5", "300", "ShowTitle=1\r\nFullScreen=0\r\nFade=1\r\nShuffle=0"), 300, ""},
      {"a checkerboard shrunk in the preview: even pink", Settings("Board") + Board(), [&] {
         ASSERT_TRUE(PreviewShows(kPink, 3000));
         const RECT r = Rect(Preview());
         const Screenshot screen;
         for (int y = r.top; y < r.bottom; y++)
           for (int x = r.left; x < r.right; x++) ASSERT_TRUE(Near(screen(x, y), kPink, 3)) << x << "," << y;
       }, IDCANCEL, "", 420, ""},
      {"preview stretched with FullScreen 0", Settings("Red"),
       [&] { EXPECT_TRUE(PreviewShows(kRed, 3000, true)) << "a corner of the preview is not red"; }, IDOK, "", 300, ""},
      // The monitor bitmap's screen spans columns 15-167 and rows 16-128.
      {"preview over the monitor's screen", Settings("Red"), [&] {
         const RECT p = Rect(Preview()), m = Rect(Item(IDC_MONITOR));
         EXPECT_EQ((std::vector<LONG>{15, 16, 153, 112}),
                   (std::vector<LONG>{p.left - m.left, p.top - m.top, p.right - p.left, p.bottom - p.top}));
       }, IDOK, "", 300, ""},
      // The item equal to the current name ignoring case is highlighted; the record keeps its name.
      {"current abc", Settings("abc"), shows("Abc 5 300 0011"), IDOK, "", 300, ""},
      {"current Ab", Settings("Ab"), shows("<none> 5 300 0011"), IDOK, "", 300, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Open(c.settings);
    c.act();
    SetForegroundWindow(dlg);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dlg; }, 2000));
    if (c.leave == VK_ESCAPE) Press(VK_ESCAPE);
    else Click(c.leave);
    DWORD code = 12345;
    ASSERT_TRUE(saver->WaitForExit(5000, &code)) << "the dialog is still open";
    EXPECT_EQ(0u, code);
    EXPECT_EQ(c.saved.empty() ? c.settings : c.saved, ReadFile(kSettingsPath));
    EXPECT_EQ(c.timeout, atoi(Desktop("ScreenSaveTimeOut").c_str()));
    EXPECT_EQ(*c.wallpaper ? WorkDir() + "\\" + c.wallpaper + ".BMP" : "", Desktop("Wallpaper"));
  }
}

// At each DPI the dialog grows with its font and the monitor picture with it: the preview covers the
// drawn screen exactly but for its last row, which shows below it, as at 96 dpi.
TEST_F(ConfigDialog, PreviewOverTheMonitorScreenAtEachDpi) {
  LONG width96 = 0;
  for (DWORD dpi : {96, 120, 144, 192}) {
    SCOPED_TRACE(dpi);
    const SystemDpi system(dpi);
    Open(Settings("Red"));
    ASSERT_TRUE(PreviewShows(kRed, 3000, true)) << "the preview is not in front";
    HWND preview = Preview();
    const RECT p = Rect(preview);
    ASSERT_TRUE(p.left > 0 && p.top > 0 && p.right < GetSystemMetrics(SM_CXSCREEN) &&
                p.bottom + 2 < GetSystemMetrics(SM_CYSCREEN)) << "off the screen";
    if (dpi == 96) width96 = p.right - p.left;
    else EXPECT_GT(p.right - p.left, width96) << "the dialog did not grow";

    // What lies under the preview.
    ShowWindow(preview, SW_HIDE);
    ASSERT_TRUE(WaitUntil([&] { return Near(ScreenPixel((p.left + p.right) / 2, (p.top + p.bottom) / 2), 0); }, 2000));
    const Screenshot screen;
    auto black = [&](int x, int y) { return Near(screen(x, y), 0); };
    for (int y = p.top; y < p.bottom; y++) {
      EXPECT_FALSE(black(p.left - 1, y)) << "screen left of the preview at row " << y;
      EXPECT_FALSE(black(p.right, y)) << "screen right of the preview at row " << y;
      for (int x = p.left; x < p.right; x++) ASSERT_TRUE(black(x, y)) << "frame under the preview at " << x << "," << y;
    }
    for (int x = p.left; x < p.right; x++) {
      EXPECT_FALSE(black(x, p.top - 1)) << "screen above the preview at column " << x;
      EXPECT_TRUE(black(x, p.bottom)) << "no screen below the preview at column " << x;
      EXPECT_FALSE(black(x, p.bottom + 2)) << "more than the screen's last row below the preview at column " << x;
    }
    Click(IDCANCEL);
    ASSERT_TRUE(saver->WaitForExit(5000));
  }
}

}  // namespace
