// The configuration dialog, worked from outside as a user would: read its
// controls, pick collections, type, click, and look at what reaches
// LUMARO.INI, the screen-saver time-out and the wallpaper.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <set>
#include <sstream>

#include "driver.h"
#include "res/resource.h"

using namespace e2e;

namespace {

const COLORREF kRed = RGB(220, 30, 40), kGreen = RGB(30, 200, 60), kBlue = RGB(40, 60, 220);

// A collection in WorkDir() whose pictures 1 and 7 are NAME.BMP in one colour.
std::string SolidCollection(const std::string& name, COLORREF colour) {
  WriteSolidBmp(WorkDir() + "\\" + name + ".BMP", 64, 64, colour);
  return WriteCollection(name, 7, Pictures(7, {name + ".BMP", ""}));
}

// LUMARO.INI with the catalogue `sets`; `options` goes under [Main] and may
// open further sections.
std::string Settings(const std::string& currentSet, const std::string& sets,
                     const std::string& options = "ShowTitle=1\r\nFullScreen=0\r\n[Wallpaper]\r\n"
                                                  "UpdateWallpaper=0\r\n",
                     const std::string& delays = "StartDelay=5\r\nChangeDelay=300\r\n") {
  return "[ScreenSaver]\r\nCurrentSet=" + currentSet + "\r\nCurrentPicture=7\r\n" + delays +
         "[Main]\r\n" + options + sets;
}

// The record's seven keys as LUMARO.INI holds them, in one line.
std::string StoredRecord() {
  const char* keys[][2] = {{"ScreenSaver", "CurrentSet"}, {"ScreenSaver", "CurrentPicture"},
                           {"ScreenSaver", "StartDelay"},  {"ScreenSaver", "ChangeDelay"},
                           {"Main", "FullScreen"},         {"Main", "ShowTitle"},
                           {"Wallpaper", "UpdateWallpaper"}};
  std::string line;
  for (const auto& k : keys) {
    char value[256] = "";
    GetPrivateProfileStringA(k[0], k[1], "<absent>", value, sizeof value, SettingsPath().c_str());
    line += std::string(line.empty() ? "" : " ") + k[1] + "=" + value;
  }
  return line;
}

// StoredRecord() after OK on an unchanged Settings("Red", ...), with
// `changes` ("Key=value ...") made.
std::string Record(const std::string& changes) {
  std::string line = " CurrentSet=Red CurrentPicture=7 StartDelay=5 ChangeDelay=300 FullScreen=0 "
                     "ShowTitle=1 UpdateWallpaper=0";
  std::istringstream in(changes);
  for (std::string kv; in >> kv;) {
    size_t at = line.find(" " + kv.substr(0, kv.find('=') + 1));
    line.replace(at, line.find(' ', at + 1) - at, " " + kv);
  }
  return line.substr(1);
}

std::string TextOf(HWND wnd) {
  wchar_t text[256] = L"";
  SendMessageW(wnd, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
  return std::string(text, text + wcslen(text));
}

RECT WindowRect(HWND wnd) {
  RECT rc = {};
  GetWindowRect(wnd, &rc);
  return rc;
}

void ClickAt(int x, int y) {
  MouseTo(x, y);
  Press(VK_LBUTTON);
  MouseTo(1, 1);
}

class ConfigDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    MouseTo(1, 1);
    // Listed out of their sorted order.
    sets = "[Sets]\r\nRed=" + SolidCollection("Red", kRed) + "\r\nGreen=" +
           SolidCollection("Green", kGreen) + "\r\nBlue=" + SolidCollection("Blue", kBlue) + "\r\n";
  }

  // Starts a fresh dialog, the one before killed first.
  void Open(const std::string& settings) {
    saver.reset(new Saver);
    Desktop("ScreenSaveTimeOut", "420");
    Desktop("Wallpaper", "");
    WriteSettings(settings);
    before = ReadFile(SettingsPath());
    ASSERT_TRUE(saver->Start(""));
    dlg = saver->WaitForWindow(10000, "Lumaro Configuration");
    ASSERT_NE(nullptr, dlg) << "the dialog did not appear";
  }

  HWND Item(int id) const { return GetDlgItem(dlg, id); }
  std::string Text(int id) const { return TextOf(Item(id)); }
  bool Checked(int id) const { return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
  void Type(int id, const char* text) { SetDlgItemTextA(dlg, id, text); }
  // Posted: a handler that shows a message box must not block the driver.
  void Click(int id) { PostMessageW(Item(id), BM_CLICK, 0, 0); }

  std::vector<std::string> ListItems() const {
    std::vector<std::string> items;
    HWND list = Item(IDC_COLLECTIONS);
    for (LRESULT i = 0, n = SendMessageW(list, LB_GETCOUNT, 0, 0); i < n; i++) {
      wchar_t text[300] = L"";  // our names are short
      SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
      items.push_back(std::string(text, text + wcslen(text)));
    }
    return items;
  }

  std::string Selected() const {  // "<none>" when nothing is highlighted
    LRESULT sel = SendMessageW(Item(IDC_COLLECTIONS), LB_GETCURSEL, 0, 0);
    return sel < 0 ? "<none>" : ListItems().at(static_cast<size_t>(sel));
  }

  void Pick(const std::string& name) {  // a real mouse click on the item
    std::vector<std::string> items = ListItems();
    LRESULT index = std::find(items.begin(), items.end(), name) - items.begin();
    HWND list = Item(IDC_COLLECTIONS);
    LRESULT height = SendMessageW(list, LB_GETITEMHEIGHT, 0, 0);
    POINT pt = {10, int((index - SendMessageW(list, LB_GETTOPINDEX, 0, 0)) * height + height / 2)};
    ClientToScreen(list, &pt);
    ClickAt(pt.x, pt.y);
    EXPECT_TRUE(WaitUntil([&] { return Selected() == name; }, 2000)) << name;
  }

  // The window seen over the hidden placeholder when it is one of ours.
  HWND Preview() const {
    RECT rc = WindowRect(Item(IDC_PREVIEW_AREA));
    HWND wnd = WindowFromPoint(POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2});
    char name[16] = "";
    GetClassNameA(wnd, name, sizeof name);
    return strncmp(name, "Lumaro:", 7) == 0 ? wnd : nullptr;
  }

  // The preview's centre, or all its corners too, show `colour` within `ms`.
  bool PreviewShows(COLORREF colour, int ms, bool corners = false) {
    return WaitUntil(
        [&] {
          RECT r = WindowRect(Item(IDC_PREVIEW_AREA));
          POINT points[] = {{(r.left + r.right) / 2, (r.top + r.bottom) / 2}, {r.left, r.top},
                            {r.right - 1, r.top}, {r.left, r.bottom - 1}, {r.right - 1, r.bottom - 1}};
          return std::all_of(points, points + (corners ? 5 : 1),
                             [&](POINT p) { return Near(ScreenPixel(p.x, p.y), colour); });
        },
        ms);
  }

  // The green light of the monitor picture, drawn from the button's corner.
  bool MonitorDrawn() const {
    RECT rc = WindowRect(Item(IDC_MONITOR));
    return Near(ScreenPixel(rc.left + 105, rc.top + 149), RGB(0, 255, 0)) &&
           Near(ScreenPixel(rc.left + 106, rc.top + 150), RGB(0, 255, 0));
  }

  HWND FocusedControl() const {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(dlg, nullptr), &info) ? info.hwndFocus : nullptr;
  }

  void ExpectClosed() {
    DWORD code = 12345;
    ASSERT_TRUE(saver->WaitForExit(5000, &code)) << "the dialog is still open";
    EXPECT_EQ(0u, code);
  }

  // OK with a field's text that is refused: the prompt comes, says why,
  // goes away with its button, and the dialog stays with the field's whole
  // text selected.
  void ExpectRefused(int id, const char* text) {
    SCOPED_TRACE(std::string("typed \"") + text + "\"");
    Type(id, text);
    Click(IDOK);
    HWND prompt = saver->WaitForWindow(5000, nullptr, dlg);
    ASSERT_NE(nullptr, prompt) << "no prompt";
    EXPECT_EQ("Please enter an integer.", TextOf(GetDlgItem(prompt, 0xFFFF)));
    EXPECT_EQ("Lumaro", TextOf(prompt));
    PostMessageW(GetDlgItem(prompt, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(prompt); }, 5000));
    EXPECT_TRUE(saver->Running()) << "the dialog closed";
    EXPECT_TRUE(WaitUntil([&] { return FocusedControl() == Item(id); }, 2000))
        << "the field at fault lacks the focus";
    DWORD sel = static_cast<DWORD>(SendMessageW(Item(id), EM_GETSEL, 0, 0));
    EXPECT_EQ(0u, LOWORD(sel));
    EXPECT_EQ(strlen(text), HIWORD(sel));
  }

  std::unique_ptr<Saver> saver;
  HWND dlg = nullptr;
  std::string sets, before;
};

TEST_F(ConfigDialog, CentredWithSortedListRecordShownAndTabOrder) {
  Open(Settings("Green", sets, "ShowTitle=1\r\nFullScreen=0\r\n[Wallpaper]\r\nUpdateWallpaper=1\r\n",
                "StartDelay=5\r\nChangeDelay=1234\r\n"));
  RECT rc = WindowRect(dlg), area;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  EXPECT_NEAR((area.left + area.right) / 2, (rc.left + rc.right) / 2, 1);
  EXPECT_NEAR((area.top + area.bottom) / 2, (rc.top + rc.bottom) / 2, 1);

  EXPECT_EQ((std::vector<std::string>{"Blue", "Green", "Red"}), ListItems());
  EXPECT_EQ("Green", Selected());
  EXPECT_EQ("5", Text(IDC_START_DELAY));
  EXPECT_EQ("1234", Text(IDC_CHANGE_DELAY)) << "no thousands separator";
  EXPECT_TRUE(Checked(IDC_UPDATE_WALLPAPER));
  EXPECT_FALSE(Checked(IDC_FULL_SCREEN));
  EXPECT_TRUE(Checked(IDC_SHOW_TITLE));
  EXPECT_TRUE(PreviewShows(kGreen, 3000)) << "the current collection is not previewed";
  EXPECT_TRUE(MonitorDrawn());

  // The preview, on top, takes the hidden placeholder's place exactly.
  ASSERT_NE(nullptr, Preview()) << "the preview is missing or covered";
  RECT preview = WindowRect(Preview()), placeholder = WindowRect(Item(IDC_PREVIEW_AREA));
  EXPECT_TRUE(EqualRect(&preview, &placeholder));
  EXPECT_FALSE(IsWindowVisible(Item(IDC_PREVIEW_AREA)));

  // Tab goes round the dialog, never stopping on the list or the monitor.
  SetForegroundWindow(dlg);
  ASSERT_TRUE(WaitUntil([&] { return FocusedControl() != nullptr; }, 2000));
  std::set<int> seen;
  for (int i = 0, id = 0; i < 14; i++) {
    const int last = id;
    Press(VK_TAB);
    WaitUntil([&] { return (id = GetDlgCtrlID(FocusedControl())) != 0 && id != last; }, 1000);
    seen.insert(id);
  }
  EXPECT_EQ(0u, seen.count(IDC_COLLECTIONS) + seen.count(IDC_MONITOR));
  EXPECT_EQ(2u, seen.count(IDC_START_DELAY) + seen.count(IDCANCEL)) << "Tab does not go round";
}

TEST_F(ConfigDialog, PreviewIgnoresThePointerAndFollowsPicks) {
  Open(Settings("Red", sets));
  ASSERT_TRUE(PreviewShows(kRed, 3000));
  RECT rc = WindowRect(Item(IDC_PREVIEW_AREA));
  MouseTo(rc.left + 20, rc.top + 20);
  Sleep(200);
  MouseTo(rc.left + 25, rc.top + 23);
  Sleep(200);
  EXPECT_TRUE(PointerHidden()) << "over the preview";
  for (WORD button : {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON}) Press(button);
  MouseTo(1, 1);
  Sleep(1500);
  EXPECT_NE(nullptr, Preview()) << "the preview closed";
  EXPECT_TRUE(PreviewShows(kRed, 0)) << "the clicks erased the preview";
  RedrawWindow(dlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  Sleep(500);
  EXPECT_TRUE(PreviewShows(kRed, 0)) << "a repaint erased the preview";
  EXPECT_TRUE(MonitorDrawn());
  EXPECT_EQ("Red", Selected());
  ASSERT_TRUE(saver->Running());
  EXPECT_EQ(before, ReadFile(SettingsPath()));

  DWORD start = GetTickCount();
  Pick("Blue");
  EXPECT_TRUE(PreviewShows(kBlue, 2000));
  EXPECT_LE(GetTickCount() - start, 1500u) << "the picked collection took too long";
  for (const char* name : {"Green", "Red", "Blue", "Green"}) Pick(name);
  EXPECT_TRUE(PreviewShows(kGreen, 2000)) << "a quick series";
  Sleep(1500);  // and stays there
  EXPECT_TRUE(PreviewShows(kGreen, 0));
}

// How the dialog is left: OK saves the whole record, sets the time-out to
// StartDelay x 60 and, when asked, the wallpaper; Exit and Escape save
// nothing. Each case may change the dialog and check what it shows first.
TEST_F(ConfigDialog, LeavingSavesOnlyOnOk) {
  const std::string abc = "[Sets]\r\nAbcdef=" + SolidCollection("Abcdef", kBlue) +
                          "\r\nAbc=" + SolidCollection("Abc", kRed) + "\r\n";
  auto highlights = [&](const char* item) { return [=] { EXPECT_EQ(item, Selected()); }; };
  auto pickBlue = [&] {
    Type(IDC_START_DELAY, "9");
    Pick("Blue");
    ASSERT_TRUE(PreviewShows(kBlue, 3000));
  };
  const struct {
    const char* name;
    std::string settings;
    std::function<void()> act;
    int leave;            // IDOK, IDCANCEL or VK_ESCAPE
    const char* changes;  // to Record(), after OK
    int timeout;
    const char* wallpaper;  // the collection whose picture 7 it is, or ""
  } cases[] = {
      {"Exit", Settings("Red", sets), pickBlue, IDCANCEL, "", 420, ""},
      {"Escape", Settings("Red", sets), pickBlue, VK_ESCAPE, "", 420, ""},
      {"not a number", Settings("Red", sets),
       [&] {
         pickBlue();
         ExpectRefused(IDC_CHANGE_DELAY, "12a");
         ExpectRefused(IDC_START_DELAY, "");
       },
       IDCANCEL, "", 420, ""},
      {"every field changed", Settings("Red", sets, "ShowTitle=0\r\nFullScreen=1\r\n"),
       [&] {
         Pick("Blue");
         Type(IDC_START_DELAY, "3");
         Type(IDC_CHANGE_DELAY, "45");
         Click(IDC_FULL_SCREEN);  // off
         Click(IDC_SHOW_TITLE);   // on
         ASSERT_TRUE(WaitUntil([&] { return Checked(IDC_SHOW_TITLE); }, 2000));
       },
       IDOK, "CurrentSet=Blue StartDelay=3 ChangeDelay=45", 180, ""},
      {"switched with the wallpaper on",
       Settings("Red", sets, "ShowTitle=1\r\nFullScreen=0\r\n[Wallpaper]\r\nUpdateWallpaper=1\r\n"),
       [&] { Pick("Blue"); }, IDOK, "CurrentSet=Blue UpdateWallpaper=1", 300, "Blue"},
      {"1500 with the arrows", Settings("Red", sets),
       [&] {
         // One click on the upper arrow steps from 1499 and writes the field.
         HWND spin = Item(IDC_CHANGE_DELAY_SPIN);
         SendMessageW(spin, UDM_SETPOS32, 0, 1499);
         RECT rc = WindowRect(spin);
         ClickAt((rc.left + rc.right) / 2, rc.top + (rc.bottom - rc.top) / 4);
         EXPECT_TRUE(WaitUntil([&] { return Text(IDC_CHANGE_DELAY) == "1500"; }, 2000))
             << "the field holds \"" << Text(IDC_CHANGE_DELAY) << "\"";
       },
       IDOK, "ChangeDelay=1500", 300, ""},
      // Delays beyond the arrows' range are kept; checks outside 0-2 are 0.
      {"stored values out of range",
       Settings("Red", sets, "ShowTitle=5\r\nFullScreen=-1\r\n", "StartDelay=90\r\nChangeDelay=40000\r\n"),
       [&] {
         EXPECT_EQ("90", Text(IDC_START_DELAY));
         EXPECT_EQ("40000", Text(IDC_CHANGE_DELAY));
         EXPECT_FALSE(Checked(IDC_SHOW_TITLE));
         EXPECT_FALSE(Checked(IDC_FULL_SCREEN));
       },
       IDOK, "StartDelay=90 ChangeDelay=40000 ShowTitle=0", 5400, ""},
      {"preview stretched with FullScreen 0", Settings("Red", sets),
       [&] { EXPECT_TRUE(PreviewShows(kRed, 3000, true)) << "a corner of the preview is not red"; },
       IDOK, "", 300, ""},
      // The monitor bitmap's screen spans columns 15-167 and rows 16-128.
      {"preview over the monitor's screen", Settings("Red", sets),
       [&] {
         ASSERT_NE(nullptr, Preview());
         RECT p = WindowRect(Preview()), m = WindowRect(Item(IDC_MONITOR));
         EXPECT_EQ((std::vector<LONG>{15, 16, 153, 112}),
                   (std::vector<LONG>{p.left - m.left, p.top - m.top, p.right - p.left, p.bottom - p.top}));
       },
       IDOK, "", 300, ""},
      {"empty catalogue", "[ScreenSaver]\r\nStartDelay=2\r\n",
       [&] {
         EXPECT_TRUE(ListItems().empty());
         EXPECT_EQ("300", Text(IDC_CHANGE_DELAY));
       },
       IDOK, "CurrentSet= CurrentPicture=1 StartDelay=2 ShowTitle=0", 120, ""},
      // The item equal to the current name ignoring case is highlighted, and
      // highlighting is not picking: the record keeps its name.
      {"current abc", Settings("abc", abc), highlights("Abc"), IDOK, "CurrentSet=abc", 300, ""},
      {"current Ab", Settings("Ab", abc), highlights("<none>"), IDOK, "CurrentSet=Ab", 300, ""},
      {"no current", Settings("", abc), highlights("<none>"), IDOK, "CurrentSet=", 300, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Open(c.settings);
    c.act();
    if (c.leave == VK_ESCAPE) {
      SetForegroundWindow(dlg);
      ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dlg; }, 2000));
      Press(VK_ESCAPE);
    } else {
      Click(c.leave);
    }
    ExpectClosed();
    if (c.leave == IDOK) EXPECT_EQ(Record(c.changes), StoredRecord());
    else EXPECT_EQ(before, ReadFile(SettingsPath())) << "written on leaving without OK";
    EXPECT_EQ(c.timeout, atoi(Desktop("ScreenSaveTimeOut").c_str()));
    EXPECT_EQ(*c.wallpaper ? WorkDir() + "\\" + c.wallpaper + ".BMP" : "", Desktop("Wallpaper"));
  }
}

}  // namespace
