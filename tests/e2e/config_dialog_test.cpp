// The configuration dialog, worked from outside as a user would: read its
// controls, pick collections, type, click, and look at what reaches
// LUMARO.INI and the system's screen-saver time-out.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "driver.h"
#include "res/resource.h"

using namespace e2e;

namespace {

const char kCaption[] = "Lumaro Configuration";
const COLORREF kRed = RGB(220, 30, 40);
const COLORREF kGreen = RGB(30, 200, 60);
const COLORREF kBlue = RGB(40, 60, 220);
const int kTimeoutBefore = 420;  // seconds; no StartDelay used here gives it

// One collection of one solid picture, stored in WorkDir().
std::string SolidCollection(const std::string& name, COLORREF colour) {
  WriteSolidBmp(WorkDir() + "\\" + name + ".BMP", 64, 64, colour);
  return WriteCollection(name, 1, {{name + ".BMP", ""}});
}

// Three collections, listed in the file out of their sorted order.
std::string ThreeSets() {
  return "[Sets]\r\nRed=" + SolidCollection("Red", kRed) +
         "\r\nGreen=" + SolidCollection("Green", kGreen) +
         "\r\nBlue=" + SolidCollection("Blue", kBlue) + "\r\n";
}

std::string Settings(const std::string& currentSet, const std::string& sets,
                     const std::string& main = "ShowTitle=1\r\nFullScreen=0\r\n",
                     const std::string& delays = "StartDelay=5\r\nChangeDelay=300\r\n") {
  return "[Main]\r\n" + main + "[ScreenSaver]\r\nCurrentSet=" + currentSet +
         "\r\nCurrentPicture=7\r\n" + delays + "[Wallpaper]\r\nUpdateWallpaper=0\r\n" + sets;
}

std::string Stored(const char* section, const char* key) {
  char value[256] = "";
  GetPrivateProfileStringA(section, key, "<absent>", value, sizeof value, SettingsPath().c_str());
  return value;
}

// The time-out as the system stores it for the user; this process's own
// SystemParametersInfo would answer from a cache.
int StoredTimeout() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_READ, &key) !=
      ERROR_SUCCESS)
    return -1;
  char value[32] = "";
  DWORD size = sizeof value - 1, type = 0;
  LONG result = RegQueryValueExA(key, "ScreenSaveTimeOut", nullptr, &type,
                                 reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  return result == ERROR_SUCCESS && type == REG_SZ ? atoi(value) : -1;
}

std::string Narrow(const std::wstring& w) {
  std::string s;
  for (wchar_t c : w) s += c < 128 ? static_cast<char>(c) : '?';
  return s;
}

struct FindChildArgs {
  const char* classPrefix;
  const char* text;
  HWND found;
};

BOOL CALLBACK FindChild(HWND hWnd, LPARAM lParam) {
  FindChildArgs* args = reinterpret_cast<FindChildArgs*>(lParam);
  char name[256] = "";
  if (args->classPrefix) {
    GetClassNameA(hWnd, name, sizeof name);
    if (strncmp(name, args->classPrefix, strlen(args->classPrefix)) != 0) return TRUE;
  }
  if (args->text) {
    wchar_t text[256] = L"";
    SendMessageW(hWnd, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
    if (Narrow(text) != args->text) return TRUE;
  }
  args->found = hWnd;
  return FALSE;
}

HWND FindChildWindow(HWND parent, const char* classPrefix, const char* text) {
  FindChildArgs args = {classPrefix, text, nullptr};
  EnumChildWindows(parent, FindChild, reinterpret_cast<LPARAM>(&args));
  return args.found;
}

struct FindPromptArgs {
  DWORD pid;
  HWND dialog;
  HWND found;
};

BOOL CALLBACK FindPrompt(HWND hWnd, LPARAM lParam) {
  FindPromptArgs* args = reinterpret_cast<FindPromptArgs*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hWnd, &pid);
  if (pid != args->pid || hWnd == args->dialog || !IsWindowVisible(hWnd)) return TRUE;
  args->found = hWnd;
  return FALSE;
}

class ConfigDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    MouseTo(1, 1);
    SystemParametersInfoA(SPI_SETSCREENSAVETIMEOUT, kTimeoutBefore, nullptr, SPIF_UPDATEINIFILE);
    ASSERT_EQ(kTimeoutBefore, StoredTimeout());
  }

  void Open(const std::string& settings) {
    WriteSettings(settings);
    before = ReadFile(SettingsPath());
    ASSERT_TRUE(saver.Start(""));
    dlg = saver.WaitForWindowTitled(kCaption, 10000);
    ASSERT_NE(nullptr, dlg) << "the dialog did not appear";
  }

  HWND Item(int id) const { return GetDlgItem(dlg, id); }

  std::string Text(int id) const {
    wchar_t text[256] = L"";
    SendMessageW(Item(id), WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
    return Narrow(text);
  }

  void Type(int id, const char* text) {
    std::wstring w(text, text + strlen(text));
    SendMessageW(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(w.c_str()));
  }

  bool Checked(int id) const { return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

  std::vector<std::string> ListItems() const {
    std::vector<std::string> items;
    HWND list = Item(IDC_COLLECTIONS);
    LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; i++) {
      wchar_t text[300] = L"";
      if (SendMessageW(list, LB_GETTEXTLEN, i, 0) < 299)
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
      items.push_back(Narrow(text));
    }
    return items;
  }

  // The highlighted item's text, or "<none>".
  std::string Selected() const {
    LRESULT sel = SendMessageW(Item(IDC_COLLECTIONS), LB_GETCURSEL, 0, 0);
    if (sel < 0) return "<none>";
    return ListItems().at(static_cast<size_t>(sel));
  }

  int IndexOf(const std::string& name) const {
    std::vector<std::string> items = ListItems();
    for (size_t i = 0; i < items.size(); i++)
      if (items[i] == name) return static_cast<int>(i);
    return -1;
  }

  // Selects the item and notifies the dialog, as a click or arrow key does.
  void Pick(const std::string& name) {
    int index = IndexOf(name);
    ASSERT_GE(index, 0) << name;
    HWND list = Item(IDC_COLLECTIONS);
    SendMessageW(list, LB_SETCURSEL, index, 0);
    SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDC_COLLECTIONS, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
  }

  // A real mouse click on the item.
  void ClickItem(const std::string& name) {
    int index = IndexOf(name);
    ASSERT_GE(index, 0) << name;
    HWND list = Item(IDC_COLLECTIONS);
    int top = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
    int height = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    POINT pt = {10, (index - top) * height + height / 2};
    ClientToScreen(list, &pt);
    MouseTo(pt.x, pt.y);
    MouseClick(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    MouseTo(1, 1);
  }

  // Posted: a handler that shows a message box must not block the driver.
  void Click(int id) { PostMessageW(Item(id), BM_CLICK, 0, 0); }

  HWND Preview() const { return FindChildWindow(dlg, "Lumaro:", nullptr); }

  POINT PreviewCentre() const {
    RECT rc = {};
    GetWindowRect(Preview(), &rc);
    return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
  }

  bool PreviewShows(COLORREF colour, int ms) {
    return WaitUntil(
        [&] {
          POINT c = PreviewCentre();
          return Near(ScreenPixel(c.x, c.y), colour);
        },
        ms);
  }

  // The green light of the monitor picture, drawn from the button's corner.
  bool MonitorDrawn() const {
    RECT rc = {};
    GetWindowRect(Item(IDC_MONITOR), &rc);
    return Near(ScreenPixel(rc.left + 105, rc.top + 149), RGB(0, 255, 0)) &&
           Near(ScreenPixel(rc.left + 106, rc.top + 150), RGB(0, 255, 0));
  }

  // The message box the process shows on top of the dialog, or null.
  HWND WaitForPrompt(int ms) {
    FindPromptArgs args = {saver.Pid(), dlg, nullptr};
    WaitUntil(
        [&] {
          EnumWindows(FindPrompt, reinterpret_cast<LPARAM>(&args));
          return args.found != nullptr;
        },
        ms);
    return args.found;
  }

  HWND FocusedControl() const {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(dlg, nullptr), &info)) return nullptr;
    return info.hwndFocus;
  }

  void ExpectClosedWith(const char* how) {
    DWORD code = 12345;
    ASSERT_TRUE(saver.WaitForExit(5000, &code)) << how << ": the dialog is still open";
    EXPECT_EQ(0u, code) << how;
  }

  void ExpectNothingSaved(const char* how) {
    EXPECT_EQ(before, ReadFile(SettingsPath())) << how;
    EXPECT_EQ(kTimeoutBefore, StoredTimeout()) << how;
  }

  // OK with a field's text that is refused: the prompt comes, says why,
  // goes away with its button, and the dialog stays with the field's whole
  // text selected.
  void ExpectRefused(int id, const char* text) {
    Type(id, text);
    Click(IDOK);
    HWND prompt = WaitForPrompt(5000);
    ASSERT_NE(nullptr, prompt) << "no prompt for \"" << text << "\"";
    EXPECT_NE(nullptr, FindChildWindow(prompt, nullptr, "Please enter an integer."));
    char title[64] = "";
    GetWindowTextA(prompt, title, sizeof title);
    EXPECT_STREQ("Lumaro", title);
    HWND ok = GetDlgItem(prompt, IDOK);
    ASSERT_NE(nullptr, ok);
    PostMessageW(ok, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(prompt); }, 5000));
    EXPECT_TRUE(saver.Running()) << "the dialog closed after \"" << text << "\"";
    EXPECT_TRUE(WaitUntil([&] { return FocusedControl() == Item(id); }, 2000))
        << "the field at fault lacks the focus";
    DWORD sel = static_cast<DWORD>(SendMessageW(Item(id), EM_GETSEL, 0, 0));
    EXPECT_EQ(0u, LOWORD(sel));
    EXPECT_EQ(strlen(text), HIWORD(sel));
  }

  Saver saver;
  HWND dlg = nullptr;
  std::string before;
};

// --- what the dialog shows ---------------------------------------------------

TEST_F(ConfigDialog, CentredWithSortedListAndRecordShown) {
  Open(Settings("Green", ThreeSets(), "ShowTitle=1\r\nFullScreen=0\r\n",
                "StartDelay=5\r\nChangeDelay=1234\r\n"));
  RECT rc, area;
  GetWindowRect(dlg, &rc);
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  EXPECT_NEAR((area.left + area.right) / 2, (rc.left + rc.right) / 2, 1);
  EXPECT_NEAR((area.top + area.bottom) / 2, (rc.top + rc.bottom) / 2, 1);

  EXPECT_EQ((std::vector<std::string>{"Blue", "Green", "Red"}), ListItems());
  EXPECT_EQ("Green", Selected());
  EXPECT_EQ("5", Text(IDC_START_DELAY));
  EXPECT_EQ("1234", Text(IDC_CHANGE_DELAY)) << "no thousands separator";
  EXPECT_FALSE(Checked(IDC_UPDATE_WALLPAPER));
  EXPECT_FALSE(Checked(IDC_FULL_SCREEN));
  EXPECT_TRUE(Checked(IDC_SHOW_TITLE));
  EXPECT_TRUE(PreviewShows(kGreen, 3000)) << "the current collection is not previewed";
  EXPECT_TRUE(MonitorDrawn());

  // The preview takes the hidden placeholder's place exactly.
  RECT preview = {}, area1007 = {};
  GetWindowRect(Preview(), &preview);
  GetWindowRect(Item(IDC_PREVIEW_AREA), &area1007);
  EXPECT_TRUE(EqualRect(&preview, &area1007));
  EXPECT_FALSE(IsWindowVisible(Item(IDC_PREVIEW_AREA)));
}

TEST_F(ConfigDialog, OtherOptionsShown) {
  Open(Settings("Red", ThreeSets(), "ShowTitle=0\r\nFullScreen=1\r\n"));
  EXPECT_FALSE(Checked(IDC_UPDATE_WALLPAPER));
  EXPECT_TRUE(Checked(IDC_FULL_SCREEN));
  EXPECT_FALSE(Checked(IDC_SHOW_TITLE));
}

TEST_F(ConfigDialog, TabOrderSkipsListAndMonitor) {
  Open(Settings("Red", ThreeSets()));
  SetForegroundWindow(dlg);
  ASSERT_TRUE(WaitUntil([&] { return FocusedControl() != nullptr; }, 2000));
  std::vector<int> visited;
  for (int i = 0; i < 14; i++) {
    KeyPress(VK_TAB);
    HWND focus = nullptr;
    WaitUntil(
        [&] {
          focus = FocusedControl();
          return focus && (visited.empty() || GetDlgCtrlID(focus) != visited.back());
        },
        1000);
    ASSERT_NE(nullptr, focus);
    visited.push_back(GetDlgCtrlID(focus));
  }
  bool sawStartDelay = false, sawExit = false;
  for (int id : visited) {
    EXPECT_NE(IDC_COLLECTIONS, id);
    EXPECT_NE(IDC_MONITOR, id);
    sawStartDelay |= id == IDC_START_DELAY;
    sawExit |= id == IDCANCEL;
  }
  EXPECT_TRUE(sawStartDelay && sawExit) << "Tab does not move through the dialog";
}

// --- the collection list and the preview -------------------------------------

TEST_F(ConfigDialog, ClickedCollectionPreviewedWithinASecond) {
  Open(Settings("Red", ThreeSets()));
  ASSERT_TRUE(PreviewShows(kRed, 3000));
  DWORD start = GetTickCount();
  ClickItem("Blue");
  EXPECT_TRUE(WaitUntil([&] { return Selected() == "Blue"; }, 2000));
  EXPECT_TRUE(PreviewShows(kBlue, 2000));
  EXPECT_LE(GetTickCount() - start, 1500u);
}

TEST_F(ConfigDialog, QuickSeriesShowsTheLastPick) {
  Open(Settings("Red", ThreeSets()));
  ASSERT_TRUE(PreviewShows(kRed, 3000));
  for (const char* name : {"Blue", "Green", "Red", "Blue", "Green"}) {
    Pick(name);
    Sleep(150);
  }
  EXPECT_TRUE(PreviewShows(kGreen, 2000));
  Sleep(1500);  // and stays there
  POINT c = PreviewCentre();
  EXPECT_TRUE(Near(ScreenPixel(c.x, c.y), kGreen));
}

TEST_F(ConfigDialog, PreviewHidesPointerAndIgnoresClicks) {
  Open(Settings("Red", ThreeSets()));
  ASSERT_TRUE(PreviewShows(kRed, 3000));
  POINT c = PreviewCentre();
  EXPECT_EQ(Preview(), WindowFromPoint(c)) << "the preview is covered";
  MouseTo(c.x, c.y);
  Sleep(200);
  MouseTo(c.x + 5, c.y + 3);
  Sleep(200);
  CURSORINFO ci = {};
  ci.cbSize = sizeof ci;
  ASSERT_TRUE(GetCursorInfo(&ci));
  EXPECT_TRUE(ci.hCursor == nullptr || !(ci.flags & CURSOR_SHOWING)) << "pointer visible";
  MouseClick(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
  MouseClick(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  MouseClick(MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP);
  MouseTo(1, 1);
  Sleep(1500);
  EXPECT_TRUE(IsWindow(Preview())) << "the preview closed";
  EXPECT_TRUE(Near(ScreenPixel(c.x, c.y), kRed)) << "the click erased the preview";
  RedrawWindow(dlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  Sleep(500);
  EXPECT_TRUE(Near(ScreenPixel(c.x, c.y), kRed)) << "a repaint erased the preview";
  EXPECT_TRUE(MonitorDrawn());
  EXPECT_EQ("Red", Selected());
  ASSERT_TRUE(saver.Running());
  EXPECT_EQ(before, ReadFile(SettingsPath()));
}

// --- leaving without saving ---------------------------------------------------

TEST_F(ConfigDialog, ExitAfterPickSavesNothing) {
  Open(Settings("Red", ThreeSets()));
  Type(IDC_START_DELAY, "9");
  Pick("Blue");
  ASSERT_TRUE(PreviewShows(kBlue, 3000));
  Click(IDCANCEL);
  ExpectClosedWith("Exit");
  ExpectNothingSaved("Exit");
}

TEST_F(ConfigDialog, EscapeAfterPickSavesNothing) {
  Open(Settings("Red", ThreeSets()));
  Pick("Green");
  SetForegroundWindow(dlg);
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dlg; }, 2000));
  KeyPress(VK_ESCAPE);
  ExpectClosedWith("Escape");
  ExpectNothingSaved("Escape");
}

// --- OK -----------------------------------------------------------------------

TEST_F(ConfigDialog, OkSavesEveryKeyAndTheTimeout) {
  Open(Settings("Red", ThreeSets(), "ShowTitle=0\r\nFullScreen=1\r\n"));
  Pick("Blue");
  Type(IDC_START_DELAY, "3");
  Type(IDC_CHANGE_DELAY, "45");
  Click(IDC_FULL_SCREEN);  // off
  Click(IDC_SHOW_TITLE);   // on
  ASSERT_TRUE(WaitUntil([&] { return Checked(IDC_SHOW_TITLE); }, 2000));
  Click(IDOK);
  ExpectClosedWith("OK");
  EXPECT_EQ("Blue", Stored("ScreenSaver", "CurrentSet"));
  EXPECT_EQ("7", Stored("ScreenSaver", "CurrentPicture"));
  EXPECT_EQ("3", Stored("ScreenSaver", "StartDelay"));
  EXPECT_EQ("45", Stored("ScreenSaver", "ChangeDelay"));
  EXPECT_EQ("0", Stored("Main", "FullScreen"));
  EXPECT_EQ("1", Stored("Main", "ShowTitle"));
  EXPECT_EQ("0", Stored("Wallpaper", "UpdateWallpaper"));
  EXPECT_EQ(180, StoredTimeout());
  EXPECT_NE("<absent>", Stored("Sets", "Red")) << "the catalogue was touched";
}

TEST_F(ConfigDialog, TypedIntegersSavedAsTyped) {
  struct Case {
    const char* typed;
    const char* saved;
    int timeout;
  };
  for (const Case& c : {Case{"90", "90", 5400}, Case{"-5", "-5", -300}, Case{" 12 ", "12", 720},
                        Case{"\t0\t", "0", 0}}) {
    SCOPED_TRACE(std::string("typed \"") + c.typed + "\"");
    Saver one;
    WriteSettings(Settings("Red", ThreeSets()));
    ASSERT_TRUE(one.Start(""));
    HWND wnd = one.WaitForWindowTitled(kCaption, 10000);
    ASSERT_NE(nullptr, wnd);
    std::wstring w(c.typed, c.typed + strlen(c.typed));
    SendMessageW(GetDlgItem(wnd, IDC_START_DELAY), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(w.c_str()));
    PostMessageW(GetDlgItem(wnd, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(one.WaitForExit(5000));
    EXPECT_EQ(c.saved, Stored("ScreenSaver", "StartDelay"));
    if (c.timeout >= 0) {
      EXPECT_EQ(c.timeout, StoredTimeout());
    }
  }
}

TEST_F(ConfigDialog, NotANumberPromptsAndKeepsTheDialog) {
  Open(Settings("Red", ThreeSets()));
  Pick("Blue");
  Type(IDC_START_DELAY, "7");
  ExpectRefused(IDC_CHANGE_DELAY, "12a");
  ExpectRefused(IDC_CHANGE_DELAY, "");
  ExpectRefused(IDC_START_DELAY, "1 2");
  Click(IDCANCEL);
  ExpectClosedWith("Exit after the prompt");
  ExpectNothingSaved("Exit after the prompt");
}

TEST_F(ConfigDialog, CorrectedFieldSavesAfterPrompt) {
  Open(Settings("Red", ThreeSets()));
  ExpectRefused(IDC_START_DELAY, "+");
  Type(IDC_START_DELAY, "+8");
  Click(IDOK);
  ExpectClosedWith("OK after correction");
  EXPECT_EQ("8", Stored("ScreenSaver", "StartDelay"));
}

TEST_F(ConfigDialog, ArrowsWritePlainNumbersThatSave) {
  Open(Settings("Red", ThreeSets()));
  HWND spin = Item(IDC_CHANGE_DELAY_SPIN);
  SendMessageW(spin, UDM_SETPOS32, 0, 1499);
  // One click on the upper arrow steps to 1500 and writes it to the field.
  RECT rc;
  GetWindowRect(spin, &rc);
  MouseTo((rc.left + rc.right) / 2, rc.top + (rc.bottom - rc.top) / 4);
  MouseClick(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
  MouseTo(1, 1);
  EXPECT_TRUE(WaitUntil([&] { return Text(IDC_CHANGE_DELAY) == "1500"; }, 2000))
      << "the field holds \"" << Text(IDC_CHANGE_DELAY) << "\"";
  Click(IDOK);
  ExpectClosedWith("OK");
  EXPECT_EQ("1500", Stored("ScreenSaver", "ChangeDelay"));
}

// Values beyond the arrows' range, typed in an earlier run, survive a
// later OK unchanged.
TEST_F(ConfigDialog, StoredValuesBeyondTheArrowsKept) {
  Open(Settings("Red", ThreeSets(), "ShowTitle=1\r\nFullScreen=0\r\n",
                "StartDelay=90\r\nChangeDelay=40000\r\n"));
  EXPECT_EQ("90", Text(IDC_START_DELAY));
  EXPECT_EQ("40000", Text(IDC_CHANGE_DELAY));
  Click(IDOK);
  ExpectClosedWith("OK");
  EXPECT_EQ("90", Stored("ScreenSaver", "StartDelay"));
  EXPECT_EQ("40000", Stored("ScreenSaver", "ChangeDelay"));
}

TEST_F(ConfigDialog, CheckValueOutOfRangeOpensClearAndSavesZero) {
  Open(Settings("Red", ThreeSets(), "ShowTitle=5\r\nFullScreen=-1\r\n"));
  EXPECT_FALSE(Checked(IDC_SHOW_TITLE));
  EXPECT_FALSE(Checked(IDC_FULL_SCREEN));
  Click(IDOK);
  ExpectClosedWith("OK");
  EXPECT_EQ("0", Stored("Main", "ShowTitle"));
  EXPECT_EQ("0", Stored("Main", "FullScreen"));
}

TEST_F(ConfigDialog, EmptyCatalogueStillSaves) {
  Open("[ScreenSaver]\r\nStartDelay=2\r\n");
  EXPECT_TRUE(ListItems().empty());
  EXPECT_EQ("<none>", Selected());
  EXPECT_EQ("300", Text(IDC_CHANGE_DELAY));
  Click(IDOK);
  ExpectClosedWith("OK");
  EXPECT_EQ("2", Stored("ScreenSaver", "StartDelay"));
  EXPECT_EQ("300", Stored("ScreenSaver", "ChangeDelay"));
  EXPECT_EQ("", Stored("ScreenSaver", "CurrentSet"));
  EXPECT_EQ(120, StoredTimeout());
}

// --- which item is highlighted at opening --------------------------------------

TEST_F(ConfigDialog, CurrentHighlightedOnlyWhenEqualIgnoringCase) {
  const std::string sets = "[Sets]\r\nAbcdef=" + SolidCollection("Abcdef", kBlue) +
                           "\r\nAbc=" + SolidCollection("Abc", kRed) + "\r\n";
  struct Case {
    const char* current;
    const char* highlighted;
  };
  for (const Case& c : {Case{"Abc", "Abc"}, Case{"abc", "Abc"}, Case{"ABCDEF", "Abcdef"},
                        Case{"Ab", "<none>"}, Case{"", "<none>"}}) {
    SCOPED_TRACE(std::string("CurrentSet \"") + c.current + "\"");
    Saver one;
    WriteSettings(Settings(c.current, sets));
    ASSERT_TRUE(one.Start(""));
    dlg = one.WaitForWindowTitled(kCaption, 10000);
    ASSERT_NE(nullptr, dlg);
    EXPECT_EQ(c.highlighted, Selected());
    // Highlighting is not picking: the record keeps its name.
    PostMessageW(GetDlgItem(dlg, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(one.WaitForExit(5000));
    EXPECT_EQ(c.current, Stored("ScreenSaver", "CurrentSet"));
  }
}

}  // namespace
