// The configuration dialog, worked from outside as a user would: read its
// controls, pick collections, type, click, and look at what reaches
// LUMARO.INI and the system's screen-saver time-out.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "driver.h"
#include "res/resource.h"

using namespace e2e;

namespace {

const COLORREF kRed = RGB(220, 30, 40), kGreen = RGB(30, 200, 60), kBlue = RGB(40, 60, 220);
const int kTimeoutBefore = 420;  // seconds; no StartDelay used here gives it

// One collection of one solid picture, stored in WorkDir().
std::string SolidCollection(const std::string& name, COLORREF colour) {
  WriteSolidBmp(WorkDir() + "\\" + name + ".BMP", 64, 64, colour);
  return WriteCollection(name, 1, {{name + ".BMP", ""}});
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

// The time-out as the system stores it for the user; this process's own
// SystemParametersInfo would answer from a cache.
int StoredTimeout() {
  char value[32] = "";
  DWORD size = sizeof value - 1;
  return RegGetValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "ScreenSaveTimeOut",
                      RRF_RT_REG_SZ, nullptr, value, &size) == ERROR_SUCCESS
             ? atoi(value)
             : -1;
}

std::string SetsSection() {
  char text[4096] = "";
  DWORD n = GetPrivateProfileSectionA("Sets", text, sizeof text, SettingsPath().c_str());
  return std::string(text, n);
}

std::string TextOf(HWND wnd) {
  wchar_t text[256] = L"";
  SendMessageW(wnd, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
  return std::string(text, text + wcslen(text));
}

class ConfigDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    MouseTo(1, 1);
    SystemParametersInfoA(SPI_SETSCREENSAVETIMEOUT, kTimeoutBefore, nullptr, SPIF_UPDATEINIFILE);
    ASSERT_EQ(kTimeoutBefore, StoredTimeout());
    // Listed out of their sorted order.
    sets = "[Sets]\r\nRed=" + SolidCollection("Red", kRed) +
           "\r\nGreen=" + SolidCollection("Green", kGreen) +
           "\r\nBlue=" + SolidCollection("Blue", kBlue) + "\r\n";
  }

  // Starts a fresh dialog; the one before, if any, is killed.
  void Open(const std::string& settings) {
    WriteSettings(settings);
    before = ReadFile(SettingsPath());
    saver = std::make_unique<Saver>();
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

  // The highlighted item's text, or "<none>".
  std::string Selected() const {
    LRESULT sel = SendMessageW(Item(IDC_COLLECTIONS), LB_GETCURSEL, 0, 0);
    return sel < 0 ? "<none>" : ListItems().at(static_cast<size_t>(sel));
  }

  // A real mouse click on the item.
  void Pick(const std::string& name) {
    std::vector<std::string> items = ListItems();
    int index = static_cast<int>(std::find(items.begin(), items.end(), name) - items.begin());
    ASSERT_LT(index, static_cast<int>(items.size())) << name;
    HWND list = Item(IDC_COLLECTIONS);
    int top = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
    int height = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    POINT pt = {10, (index - top) * height + height / 2};
    ClientToScreen(list, &pt);
    MouseTo(pt.x, pt.y);
    MouseClick(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    MouseTo(1, 1);
    EXPECT_TRUE(WaitUntil([&] { return Selected() == name; }, 2000)) << name;
  }

  // The preview is laid over the hidden placeholder 1007.
  POINT PreviewCentre() const {
    RECT rc = {};
    GetWindowRect(Item(IDC_PREVIEW_AREA), &rc);
    return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
  }

  // The window seen at the preview's place when it is one of ours.
  HWND Preview() const {
    HWND wnd = WindowFromPoint(PreviewCentre());
    char name[16] = "";
    GetClassNameA(wnd, name, sizeof name);
    return strncmp(name, "Lumaro:", 7) == 0 ? wnd : nullptr;
  }

  bool PreviewShows(COLORREF colour, int ms) {
    return WaitUntil([&] { POINT c = PreviewCentre(); return Near(ScreenPixel(c.x, c.y), colour); },
                     ms);
  }

  // The green light of the monitor picture, drawn from the button's corner.
  bool MonitorDrawn() const {
    RECT rc = {};
    GetWindowRect(Item(IDC_MONITOR), &rc);
    return Near(ScreenPixel(rc.left + 105, rc.top + 149), RGB(0, 255, 0)) &&
           Near(ScreenPixel(rc.left + 106, rc.top + 150), RGB(0, 255, 0));
  }

  HWND FocusedControl() const {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(dlg, nullptr), &info) ? info.hwndFocus
                                                                            : nullptr;
  }

  void ExpectClosed() {
    DWORD code = 12345;
    ASSERT_TRUE(saver->WaitForExit(5000, &code)) << "the dialog is still open";
    EXPECT_EQ(0u, code);
  }

  void ExpectNothingSaved() {
    EXPECT_EQ(before, ReadFile(SettingsPath()));
    EXPECT_EQ(kTimeoutBefore, StoredTimeout());
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

// --- what the dialog shows ---------------------------------------------------

TEST_F(ConfigDialog, CentredWithSortedListRecordShownAndTabOrder) {
  Open(Settings("Green", sets, "ShowTitle=1\r\nFullScreen=0\r\n[Wallpaper]\r\n"
                "UpdateWallpaper=1\r\n", "StartDelay=5\r\nChangeDelay=1234\r\n"));
  RECT rc, area;
  GetWindowRect(dlg, &rc);
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
  RECT preview = {}, placeholder = {};
  GetWindowRect(Preview(), &preview);
  GetWindowRect(Item(IDC_PREVIEW_AREA), &placeholder);
  EXPECT_TRUE(EqualRect(&preview, &placeholder));
  EXPECT_FALSE(IsWindowVisible(Item(IDC_PREVIEW_AREA)));

  // Tab goes round the dialog, never stopping on the list or the monitor.
  SetForegroundWindow(dlg);
  ASSERT_TRUE(WaitUntil([&] { return FocusedControl() != nullptr; }, 2000));
  bool sawStartDelay = false, sawExit = false;
  for (int i = 0, last = 0; i < 14; i++) {
    KeyPress(VK_TAB);
    int id = 0;
    WaitUntil([&] { return (id = GetDlgCtrlID(FocusedControl())) != 0 && id != last; }, 1000);
    EXPECT_NE(IDC_COLLECTIONS, id);
    EXPECT_NE(IDC_MONITOR, id);
    sawStartDelay |= id == IDC_START_DELAY;
    sawExit |= id == IDCANCEL;
    last = id;
  }
  EXPECT_TRUE(sawStartDelay && sawExit) << "Tab does not move through the dialog";
}

// --- the collection list and the preview -------------------------------------

TEST_F(ConfigDialog, PreviewIgnoresThePointerAndFollowsPicks) {
  Open(Settings("Red", sets));
  ASSERT_TRUE(PreviewShows(kRed, 3000));
  POINT c = PreviewCentre();
  MouseTo(c.x, c.y);
  Sleep(200);
  MouseTo(c.x + 5, c.y + 3);
  Sleep(200);
  EXPECT_TRUE(PointerHidden()) << "over the preview";
  MouseClick(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
  MouseClick(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  MouseClick(MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP);
  MouseTo(1, 1);
  Sleep(1500);
  EXPECT_NE(nullptr, Preview()) << "the preview closed";
  EXPECT_TRUE(PreviewShows(kRed, 0)) << "the click erased the preview";
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

// --- leaving -----------------------------------------------------------------

TEST_F(ConfigDialog, ExitAndEscapeAfterPickSaveNothing) {
  for (bool escape : {false, true}) {
    SCOPED_TRACE(escape ? "Escape" : "Exit");
    Open(Settings("Red", sets));
    Type(IDC_START_DELAY, "9");
    Pick("Blue");
    ASSERT_TRUE(PreviewShows(kBlue, 3000));
    if (escape) {
      SetForegroundWindow(dlg);
      ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dlg; }, 2000));
      KeyPress(VK_ESCAPE);
    } else {
      Click(IDCANCEL);
    }
    ExpectClosed();
    ExpectNothingSaved();
  }
}

TEST_F(ConfigDialog, NotANumberPromptsAndKeepsTheDialog) {
  Open(Settings("Red", sets));
  Pick("Blue");
  Type(IDC_START_DELAY, "7");
  ExpectRefused(IDC_CHANGE_DELAY, "12a");
  ExpectRefused(IDC_CHANGE_DELAY, "");
  ExpectRefused(IDC_START_DELAY, "1 2");
  ExpectRefused(IDC_START_DELAY, "+");
  Click(IDCANCEL);
  ExpectClosed();
  ExpectNothingSaved();
}

// OK saves the whole record and sets the time-out StartDelay x 60; each
// case may change the dialog and check what it shows first.
TEST_F(ConfigDialog, OkSavesTheRecordAndTheTimeout) {
  const std::string abc = "[Sets]\r\nAbcdef=" + SolidCollection("Abcdef", kBlue) +
                          "\r\nAbc=" + SolidCollection("Abc", kRed) + "\r\n";
  auto highlights = [&](const char* item) { return [=] { EXPECT_EQ(item, Selected()); }; };
  const struct {
    const char* name;
    std::string settings;
    std::function<void()> act;
    const char* changes;  // to Record()
    int timeout;          // -1: not checked, a negative one is the system's affair
  } cases[] = {
      {"every field changed", Settings("Red", sets, "ShowTitle=0\r\nFullScreen=1\r\n"),
       [&] {
         Pick("Blue");
         Type(IDC_START_DELAY, "3");
         Type(IDC_CHANGE_DELAY, "45");
         Click(IDC_FULL_SCREEN);  // off
         Click(IDC_SHOW_TITLE);   // on
         ASSERT_TRUE(WaitUntil([&] { return Checked(IDC_SHOW_TITLE); }, 2000));
       },
       "CurrentSet=Blue StartDelay=3 ChangeDelay=45", 180},
      {"typed 90", Settings("Red", sets), [&] { Type(IDC_START_DELAY, "90"); }, "StartDelay=90",
       5400},
      {"typed -5", Settings("Red", sets), [&] { Type(IDC_START_DELAY, "-5"); }, "StartDelay=-5",
       -1},
      {"typed ' 12 '", Settings("Red", sets), [&] { Type(IDC_START_DELAY, " 12 "); },
       "StartDelay=12", 720},
      {"typed tab, +0, tab", Settings("Red", sets), [&] { Type(IDC_START_DELAY, "\t+0\t"); },
       "StartDelay=0", 0},
      {"1500 with the arrows", Settings("Red", sets),
       [&] {
         // One click on the upper arrow steps from 1499 and writes the field.
         HWND spin = Item(IDC_CHANGE_DELAY_SPIN);
         SendMessageW(spin, UDM_SETPOS32, 0, 1499);
         RECT rc;
         GetWindowRect(spin, &rc);
         MouseTo((rc.left + rc.right) / 2, rc.top + (rc.bottom - rc.top) / 4);
         MouseClick(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
         MouseTo(1, 1);
         EXPECT_TRUE(WaitUntil([&] { return Text(IDC_CHANGE_DELAY) == "1500"; }, 2000))
             << "the field holds \"" << Text(IDC_CHANGE_DELAY) << "\"";
       },
       "ChangeDelay=1500", 300},
      // Delays beyond the arrows' range are kept; checks outside 0-2 are 0.
      {"stored values out of range",
       Settings("Red", sets, "ShowTitle=5\r\nFullScreen=-1\r\n",
                "StartDelay=90\r\nChangeDelay=40000\r\n"),
       [&] {
         EXPECT_EQ("90", Text(IDC_START_DELAY));
         EXPECT_EQ("40000", Text(IDC_CHANGE_DELAY));
         EXPECT_FALSE(Checked(IDC_SHOW_TITLE));
         EXPECT_FALSE(Checked(IDC_FULL_SCREEN));
       },
       "StartDelay=90 ChangeDelay=40000 ShowTitle=0", 5400},
      {"empty catalogue", "[ScreenSaver]\r\nStartDelay=2\r\n",
       [&] {
         EXPECT_TRUE(ListItems().empty());
         EXPECT_EQ("<none>", Selected());
         EXPECT_EQ("300", Text(IDC_CHANGE_DELAY));
       },
       "CurrentSet= CurrentPicture=1 StartDelay=2 ShowTitle=0", 120},
      // The item equal to the current name ignoring case is highlighted, and
      // highlighting is not picking: the record keeps its name.
      {"current Abc", Settings("Abc", abc), highlights("Abc"), "CurrentSet=Abc", 300},
      {"current abc", Settings("abc", abc), highlights("Abc"), "CurrentSet=abc", 300},
      {"current ABCDEF", Settings("ABCDEF", abc), highlights("Abcdef"), "CurrentSet=ABCDEF", 300},
      {"current Ab", Settings("Ab", abc), highlights("<none>"), "CurrentSet=Ab", 300},
      {"no current", Settings("", abc), highlights("<none>"), "CurrentSet=", 300},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Open(c.settings);
    const std::string catalogue = SetsSection();
    c.act();
    Click(IDOK);
    ExpectClosed();
    EXPECT_EQ(Record(c.changes), StoredRecord());
    EXPECT_EQ(catalogue, SetsSection()) << "the catalogue was touched";
    if (c.timeout >= 0) {
      EXPECT_EQ(c.timeout, StoredTimeout());
    }
  }
}

}  // namespace
