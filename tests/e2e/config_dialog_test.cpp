// The configuration dialog worked as a user would, and what reaches LUMARO.INI, the time-out and the wallpaper;
// collections added from a folder through the system's folder picker, with a path typed into it, and removed.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <set>

#include "driver.h"

using namespace e2e;

namespace {

// A catalogue entry for a collection whose pictures 1 to 7 are NAME.BMP in one colour.
std::string Entry(const std::string& name, COLORREF colour) {
  WriteSolidBmp(WorkDir() + "\\" + name + ".BMP", 64, 64, colour);
  return name + "=" + WriteCollection(name, 7, Pictures(7, {name + ".BMP", ""})) + "\r\n";
}

// A catalogue entry for a collection whose picture is a photo larger than the preview, in red and white pixels.
const COLORREF kPink = RGB(255, 128, 128);
std::string Board() {
  WriteFile(WorkDir() + "\\BOARD.PNG", ReadFile(LUMARO_TEST_DATA "/photos/checkerboard.png"));
  return "Board=" + WriteCollection("Board", 1, {{"BOARD.PNG", ""}}) + "\r\n";
}

// Every key of the record is there, so that a save rewrites each in place.
std::string Settings(const std::string& set, const char* update = "0", const char* start = "5", const char* change = "300",
                     const std::string& main = "ShowTitle=1\r\nFullScreen=0\r\nFade=1\r\nShuffle=0\r\nKeys=0\r\nBlankAfter=0\r\nPanZoom=0\r\nShowDate=0\r\nShowPlace=0\r\nEachMonitor=0\r\nPairPortraits=0") {
  return "[ScreenSaver]\r\nCurrentSet=" + set + "\r\nCurrentPicture=7\r\nStartDelay=" + start + "\r\nChangeDelay=" +
         change + "\r\n[Main]\r\nSubfolders=1\r\n" + main + "\r\n[Wallpaper]\r\nUpdateWallpaper=" + update + "\r\n" +
         "[Sets]\r\n" + Entry("Red", kRed) + Entry("Green", kGreen) + Entry("Blue", kBlue) + Entry("Abcdef", kBlue) +
         Entry("Abc", kRed);
}

RECT Rect(HWND wnd) {
  RECT rc = {};
  GetWindowRect(wnd, &rc);
  return rc;
}

class ConfigDialog : public ::testing::Test, public Dialog {
 protected:
  void Open(const std::string& settings) {  // a fresh dialog, the one before killed first
    MouseTo(1, 1);
    Desktop("ScreenSaveTimeOut", "420");
    Desktop("Wallpaper", "");
    Dialog::Open(settings);
    ASSERT_NE(nullptr, dlg) << "no dialog";
  }

  char Checked(int id) const { return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED ? '1' : '0'; }
  std::string Selected() {
    return Text(Item(IDC_COLLECTIONS), LB_GETTEXT, SendMessageW(Item(IDC_COLLECTIONS), LB_GETCURSEL, 0, 0));
  }

  // The highlighted item, the two fields and the four checks, in one line.
  std::string Shown() {
    return Selected() + " " + Text(Item(IDC_START_DELAY)) + " " + Text(Item(IDC_CHANGE_DELAY)) +
           " " + Checked(IDC_UPDATE_WALLPAPER) + Checked(IDC_FULL_SCREEN) + Checked(IDC_SHOW_TITLE) + Checked(IDC_FADE);
  }

  void Pick(const std::string& name) {  // a real click on the item
    RECT rc = {};
    HWND list = Item(IDC_COLLECTIONS);
    SendMessageW(list, LB_GETITEMRECT, SendMessageW(list, LB_FINDSTRINGEXACT, -1, LPARAM(Wide(name).c_str())), LPARAM(&rc));
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
         const LONG across = std::max(area.left, (area.left + area.right - rc.right + rc.left) / 2);  // or at the left edge
         EXPECT_LE(abs(rc.left - across) + abs(area.top + area.bottom - rc.top - rc.bottom), 2);
         EXPECT_FALSE(GetWindowLongA(dlg, GWL_STYLE) & WS_SYSMENU);
         EXPECT_EQ("Abc|Abcdef|Blue|*Green|Red|", Listed());
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
      // A settings file that cannot be written: OK says so, naming it, and the dialog stays with the choices made.
      {"a read-only settings file", Settings("Red"), [&] {
         Pick("Blue");
         SetFileAttributesA(kSettingsPath.c_str(), FILE_ATTRIBUTE_READONLY);
         Click(IDOK);
         EXPECT_NE(std::string::npos, saver->CloseMessageBox().find("cannot save your settings in \"" + kSettingsPath + "\""));
         EXPECT_TRUE(IsWindowVisible(dlg));
         EXPECT_EQ("Blue", Selected());
         SetFileAttributesA(kSettingsPath.c_str(), FILE_ATTRIBUTE_NORMAL);
       }, IDCANCEL, "", 300, ""},
      // OK with a text that is no number: a prompt says why and goes with its button; the dialog stays, the
      // field at fault focused with its whole text selected.
      {"not a number", Settings("Red"), [&] {
         Pick("Blue");
         SetDlgItemTextA(dlg, IDC_CHANGE_DELAY, "12a");
         Click(IDOK);
         EXPECT_EQ("Please enter an integer.", saver->CloseMessageBox());
         GUITHREADINFO info = {};
         info.cbSize = sizeof info;
         EXPECT_TRUE(WaitUntil([&] {
           return GetGUIThreadInfo(GetWindowThreadProcessId(dlg, nullptr), &info) && info.hwndFocus == Item(IDC_CHANGE_DELAY);
         }, 5000)) << "the field lacks the focus";
         EXPECT_EQ(MAKELONG(0, 3), SendMessageW(Item(IDC_CHANGE_DELAY), EM_GETSEL, 0, 0));
       }, IDCANCEL, "", 420, ""},
      {"a blank after beyond a day", Settings("Red"), [&] {
         SetDlgItemTextA(dlg, IDC_BLANK_AFTER, "1441"), Click(IDOK);
         EXPECT_EQ("Please enter an integer from 0 to 1440.", saver->CloseMessageBox()); }, IDCANCEL, "", 420, ""},
      {"every field changed", Settings("Red", "0", "5", "300", "ShowTitle=0\r\nFullScreen=1\r\nFade=1\r\nShuffle=0"), [&] {
         Pick("Blue");
         SetDlgItemTextA(dlg, IDC_START_DELAY, "3");
         SetDlgItemTextA(dlg, IDC_CHANGE_DELAY, "45");
         Click(IDC_FULL_SCREEN);
         Click(IDC_SHOW_TITLE);
         Click(IDC_FADE);
         Click(IDC_KEYS), Click(IDC_SHUFFLE), Click(IDC_PAN_ZOOM), Click(IDC_SHOW_DATE), Click(IDC_SHOW_PLACE);
         Click(IDC_EACH_MONITOR), Click(IDC_PAIR_PORTRAITS), SetDlgItemTextA(dlg, IDC_BLANK_AFTER, "1439");
         for (int up = 0; up < 2; up++)  // one step to a day, in plain digits, and no further
           SendMessageW(Item(IDC_BLANK_AFTER), WM_KEYDOWN, VK_UP, 0), SendMessageW(Item(IDC_BLANK_AFTER), WM_KEYUP, VK_UP, 0);
         ASSERT_TRUE(WaitUntil([&] { return Shown() == "Blue 3 45 0010" && Checked(IDC_SHUFFLE) == '1'; }, 2000)) << Shown();
       }, IDOK, Settings("Blue", "0", "3", "45", "ShowTitle=1\r\nFullScreen=0\r\nFade=0\r\nShuffle=1\r\nKeys=1\r\nBlankAfter=1440\r\nPanZoom=1\r\nShowDate=1\r\nShowPlace=1\r\nEachMonitor=1\r\nPairPortraits=1"), 180, ""},
      {"switched with the wallpaper on", Settings("Red", "1"), [&] { Pick("Blue"); }, IDOK, Settings("Blue", "1"), 300,
       "Blue"},
      // Delays beyond the arrows' range are kept; checks outside 0-2 are 0. The item equal to the current name
      // ignoring case is highlighted; the record keeps its name.
      {"stored values out of range, current abc",
       Settings("abc", "0", "90", "40000", "ShowTitle=5\r\nFullScreen=-1\r\nFade=7\r\nShuffle=0"), shows("Abc 90 40000 0000"),
       IDOK, Settings("abc", "0", "90", "40000", "ShowTitle=0\r\nFullScreen=0\r\nFade=0\r\nShuffle=0\r\nKeys=0\r\nBlankAfter=0\r\nPanZoom=0\r\nShowDate=0\r\nShowPlace=0\r\nEachMonitor=0\r\nPairPortraits=0"), 5400, ""},
      // Fade is on when the key is absent, Shuffle off; OK writes them. No item is the current Ab.
      {"no Fade key, current Ab", Settings("Ab", "0", "5", "300", "ShowTitle=1\r\nFullScreen=0"), shows(" 5 300 0011"), IDOK,
       Settings("Ab", "0", "5", "300"), 300, ""},
      // Shrunk by averaging, which the system's own scaler under Wine does not do: picked pixels would be red or white.
      {"a checkerboard photo shrunk in the preview: pink", Settings("Board") + Board(), [&] {
         ASSERT_TRUE(PreviewShows(kPink, 3000));
         const RECT r = Rect(Preview());
         EXPECT_EQ((r.right - r.left) * (r.bottom - r.top), CountColour(Screenshot(), kPink, r));
       }, IDCANCEL, "", 420, ""},
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
    ASSERT_TRUE(saver->WaitForExit(10000, &code)) << "the dialog is still open";
    EXPECT_EQ(0u, code);
    EXPECT_EQ(c.saved.empty() ? c.settings : c.saved, ReadFile(kSettingsPath));
    EXPECT_EQ(c.timeout, atoi(Desktop("ScreenSaveTimeOut").c_str()));
    EXPECT_EQ(*c.wallpaper ? WorkDir() + "\\" + c.wallpaper + ".BMP" : "", Desktop("Wallpaper"));
  }
}

// A user without LUMARO.INI: at the first start the one an older version kept in the Windows directory moves in,
// with its collections; OK writes only the user's file, and the old file and the directory stay as they were.
TEST_F(ConfigDialog, SettingsMoveInFromTheWindowsDirectory) {
  const std::string old = WindowsDir() + "\\LUMARO.INI", settings = Settings("Green");
  const auto listing = [] {
    std::string names;
    WIN32_FIND_DATAA d;
    HANDLE find = FindFirstFileA((WindowsDir() + "\\*").c_str(), &d);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &d))
      names += d.cFileName + (" " + std::to_string(d.nFileSizeLow)) + "|";
    return FindClose(find), names;
  };
  ASSERT_TRUE(WindowsDirWritable(true));
  WriteFile(old, settings);
  WindowsDirWritable(false);
  const std::string before = listing();
  DeleteFileA(kSettingsPath.c_str());
  MouseTo(1, 1);
  saver.reset(new Saver(""));
  ASSERT_NE(nullptr, dlg = saver->WaitForWindow(10000, "Lumaro Configuration"));
  EXPECT_EQ("Green", Selected());
  Pick("Blue");
  ASSERT_TRUE(Leave(IDOK));
  EXPECT_EQ(Settings("Blue"), ReadFile(kSettingsPath));
  EXPECT_EQ(settings, ReadFile(old));
  EXPECT_EQ(before, listing());
  WindowsDirWritable(true), DeleteFileA(old.c_str()), WindowsDirWritable(false);
}

// At each DPI the dialog grows with its font and the monitor picture with it: the preview covers the
// drawn screen exactly but for its last row, which shows below it, as at 96 dpi.
TEST_F(ConfigDialog, PreviewOverTheMonitorScreenAtEachDpi) {
  // LogPixels, which Wine reads as a process starts, sets the DPI the dialog is laid out at; absent, 96.
  struct Undo { ~Undo() { SHDeleteValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels"); } } undo;
  LONG width96 = 0;
  for (DWORD dpi : {96, 120, 144, 192}) {
    SCOPED_TRACE(dpi);
    SHSetValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", REG_DWORD, &dpi, sizeof dpi);
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
    auto black = [&](LONG l, LONG t, LONG r, LONG b) { return CountColour(screen, kBlack, {l, t, r, b}, 8); };
    const int w = p.right - p.left, h = p.bottom - p.top;
    EXPECT_EQ(w * h, black(p.left, p.top, p.right, p.bottom)) << "frame under the preview";
    EXPECT_EQ(w, black(p.left, p.bottom, p.right, p.bottom + 1)) << "no screen's last row below the preview";
    EXPECT_EQ(0, black(p.left - 1, p.top, p.left, p.bottom) + black(p.right, p.top, p.right + 1, p.bottom) +
                 black(p.left, p.top - 1, p.right, p.top) + black(p.left, p.bottom + 2, p.right, p.bottom + 3))
        << "screen beside, above or more than a row below the preview";
    ASSERT_TRUE(Leave(IDCANCEL));
  }
}

const char kProgress[] = "Adding pictures";

BOOL CALLBACK FindSubfoldersBox(HWND w, LPARAM found) {
  if (Text(w) == "Include &subfolders") *reinterpret_cast<HWND*>(found) = w;
  return TRUE;
}

class AddFolder : public ::testing::Test, public Dialog {
 protected:
  void SetUp() override {
    for (const std::string& dir : {folder, WorkDir() + "\\Empty"}) RemoveTree(Wide(dir));
    CreateDirectoryA(folder.c_str(), nullptr);
    WriteSolidBmp(folder + "\\IMG_10.BMP", 32, 32, kGreen);
    WriteSolidBmp(folder + "\\IMG_2.BMP", 32, 32, kRed);
    WriteFile(folder + "\\notes.txt", "not a picture");
    WriteSolidBmp(WorkDir() + "\\OLD.BMP", 32, 32, kBlue);
    // "Holiday" is taken: the folder's collection is listed as "Holiday (2)".
    const std::string old = WriteCollection("Old", 1, {{"OLD.BMP", ""}});
    settings = "[ScreenSaver]\r\nCurrentSet=Old\r\nCurrentPicture=7\r\n[Sets]\r\nOld=" + old + "\r\nHoliday=" + old + "\r\n";
  }

  void Open() {
    Dialog::Open(settings);
    ASSERT_NE(nullptr, dlg) << "no dialog";
  }

  // Add folder..., the path typed into the picker, "Include subfolders" set to `box` (unless -1; its state
  // before goes into boxWas), Open; then, when asked, waits until the folder is done.
  void Add(const std::string& path, int box = -1, bool wait = true) { Add(Wide(path), box, wait); }
  void Add(const std::wstring& path, int box = -1, bool wait = true) {
    Click(IDC_ADD_FOLDER);
    HWND picker = saver->WaitForWindow(10000, "Add a folder of pictures"), check = nullptr;
    ASSERT_NE(nullptr, picker) << "no folder picker";
    EnumChildWindows(picker, &FindSubfoldersBox, LPARAM(&check));
    boxWas = check ? SendMessageW(check, BM_GETCHECK, 0, 0) == BST_CHECKED : -1;
    if (box >= 0 && check && boxWas != box) SendMessageW(check, BM_CLICK, 0, 0);
    SendMessageW(GetDlgItem(picker, 1152), WM_SETTEXT, 0, LPARAM(path.c_str()));  // the picker's name field
    DWORD_PTR result = 0;  // a message box may open inside the handler: never wait on it for ever
    SendMessageTimeoutW(picker, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(GetDlgItem(picker, IDOK)), SMTO_NORMAL,
                        10000, &result);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(picker); }, 10000)) << "the picker stayed";
    if (!wait) return;
    // Answered once the folder is done or its progress window is up; then that window goes.
    SendMessageTimeoutW(dlg, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
    ASSERT_TRUE(WaitUntil([&] { return !saver->Window(kProgress); }, 10000)) << "still adding";
  }

  std::string folder = WorkDir() + "\\Holiday", collection = folder + "\\COLLECTION.INI", settings;
  int boxWas = -1;
};

// Added in name order (IMG_2 before IMG_10), listed under a free name, selected and previewed; a name taken
// by a Sets entry past the 8 KiB the list is read from is not used. OK writes the entry and makes it current,
// and the slideshow then shows the folder's pictures.
TEST_F(AddFolder, AddedThenShown) {
  WriteSolidBmp(folder + "\\.IMG_1.BMP", 32, 32, kBlue);  // hidden (a dot file, under Wine): no picture
  for (int i = 0; i < 120; i++) settings += "Filler " + std::to_string(i) + "=C:\\" + std::string(60, 'x') + "\r\n";
  settings += "Holiday (2)=C:\\kept.INI\r\n";
  Open();
  Add(folder);
  EXPECT_NE(std::string::npos, Listed().find("|Holiday|*Holiday (3)|Old|")) << Listed();
  EXPECT_TRUE(PreviewShows(kRed)) << "picture 1 is not previewed";
  EXPECT_EQ("[Properties]\r\nCount=2\r\n\r\n[Pictures]\r\n1=IMG_2.BMP\r\n2=IMG_10.BMP\r\n\r\n[Titles]\r\n1=IMG_2\r\n2=IMG_10\r\n",
            ReadFile(collection));
  EXPECT_EQ(settings, ReadFile(kSettingsPath)) << "written before OK";
  ASSERT_TRUE(Leave(IDOK));
  const std::string saved = ReadFile(kSettingsPath);
  for (const std::string& line :
       {std::string("CurrentSet=Holiday (3)\r\n"), "Holiday (3)=" + collection + "\r\n", std::string("Holiday (2)=C:\\kept.INI\r\n")})
    EXPECT_NE(std::string::npos, saved.find(line)) << saved;
  Saver show("/s");  // picture 7 of 2 goes on with picture 1
  EXPECT_TRUE(ShowsColour(320, 240, kRed, 5000)) << "the folder's picture 1";
}

// A folder whose COLLECTION.INI is read-only gets its collection in the local collections folder, under a name
// no other folder's file there has, with full paths, order and titles from the folder's file; adding it again
// finds that file, and, that file read-only too, tells that nothing could be written. A folder without pictures
// is refused. Remove then OK drops the entry, makes the next one current and leaves every file as it was.
TEST_F(AddFolder, RefusedAndRemoved) {
  const std::string before = "[Properties]\r\nCount=1\r\n[Pictures]\r\n1=IMG_2.BMP\r\n", empty = WorkDir() + "\\Empty",
                    local = LocalCollections() + "\\Holiday (2).INI";
  RemoveTree(Wide(LocalCollections()));
  for (const std::string& dir : {LocalCollections() + "\\..", LocalCollections()}) CreateDirectoryA(dir.c_str(), nullptr);
  WriteFile(LocalCollections() + "\\Holiday.INI", "[Properties]\r\nFolder=D:\\Holiday\r\n");
  WriteFile(collection, before);
  SetFileAttributesA(collection.c_str(), FILE_ATTRIBUTE_READONLY);
  CreateDirectoryA(empty.c_str(), nullptr);
  WriteFile(empty + "\\notes.txt", "not a picture");
  settings += "Holiday (2)=" + collection + "\r\n";
  Open();
  Add(folder);
  EXPECT_EQ("", saver->CloseMessageBox(1000));
  EXPECT_EQ("Holiday|Holiday (2)|*Holiday (3)|Old|", Listed());
  EXPECT_TRUE(PreviewShows(kRed)) << "picture 1 is not previewed";
  EXPECT_EQ("[Properties]\r\nCount=2\r\nFolder=" + folder + "\r\n\r\n[Pictures]\r\n1=" + folder + "\\IMG_2.BMP\r\n2=" + folder +
            "\\IMG_10.BMP\r\n\r\n[Titles]\r\n2=IMG_10\r\n", ReadFile(local));
  SetFileAttributesA(local.c_str(), FILE_ATTRIBUTE_READONLY);
  Add(folder);
  EXPECT_NE(std::string::npos, saver->CloseMessageBox().find("cannot write its collection file COLLECTION.INI into \"" + folder));
  Add(empty);
  EXPECT_NE(std::string::npos, saver->CloseMessageBox().find("\"" + empty + "\" holds no pictures Lumaro can show"));
  EXPECT_EQ("Holiday|Holiday (2)|*Holiday (3)|Old|", Listed());
  EXPECT_EQ(before, ReadFile(collection));
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "\\*.tmp").c_str(), &data);
  EXPECT_EQ(INVALID_HANDLE_VALUE, find) << "a temporary file was left: " << data.cFileName;
  if (find != INVALID_HANDLE_VALUE) FindClose(find);

  Click(IDC_REMOVE_COLLECTION);
  EXPECT_TRUE(WaitUntil([&] { return Listed() == "Holiday|Holiday (2)|*Old|"; }, 3000)) << Listed();
  EXPECT_TRUE(PreviewShows(kBlue)) << "the next collection is not current";
  ASSERT_TRUE(Leave(IDOK));
  const std::string saved = ReadFile(kSettingsPath);
  EXPECT_TRUE(saved.find("Holiday (3)") == std::string::npos && saved.find("Holiday=") != std::string::npos) << saved;
  EXPECT_EQ(before, ReadFile(collection));
  EXPECT_NE("", ReadFile(local));
}

// A tree three levels deep, "Include subfolders" checked as it comes: the folder's own pictures, then each
// subfolder's, depth first, each level in name order; a hidden folder (a dot folder, under Wine) and a link to
// a folder (a Unix symbolic link, which Wine shows as Windows shows a junction) are left out, the link's
// target being outside the tree. Unchecked, a folder's own pictures only, and a folder added before keeps its
// subfolders' pictures; OK keeps the box's state.
TEST_F(AddFolder, SubfoldersDepthFirst) {
  const std::string outside = WorkDir() + "\\Outside";
  for (const char* dir : {"\\2024", "\\2024\\05 Party", "\\2024\\05 Party\\deep", "\\2023", "\\.hidden"})
    CreateDirectoryA((folder + dir).c_str(), nullptr);
  for (const char* file : {"\\2024\\b.bmp", "\\2024\\05 Party\\c.bmp", "\\2024\\05 Party\\deep\\d.bmp", "\\2023\\a.bmp",
                           "\\.hidden\\h.bmp"})
    WriteSolidBmp(folder + file, 8, 8, kBlue);
  CreateDirectoryA(outside.c_str(), nullptr);
  WriteSolidBmp(outside + "\\x.bmp", 8, 8, kBlue);
  ASSERT_TRUE(MakeLink(folder + "\\link", outside));
  Open();
  Add(folder);
  EXPECT_EQ(1, boxWas) << "checked by default";
  EXPECT_EQ("[Properties]\r\nCount=6\r\n\r\n[Pictures]\r\n1=IMG_2.BMP\r\n2=IMG_10.BMP\r\n3=2023\\a.bmp\r\n4=2024\\b.bmp\r\n"
            "5=2024\\05 Party\\c.bmp\r\n6=2024\\05 Party\\deep\\d.bmp\r\n\r\n[Titles]\r\n1=IMG_2\r\n2=IMG_10\r\n3=a\r\n"
            "4=b\r\n5=c\r\n6=d\r\n", ReadFile(collection));
  const std::string tree = ReadFile(collection);
  Add(folder + "\\2024", 0);
  EXPECT_EQ("[Properties]\r\nCount=1\r\n\r\n[Pictures]\r\n1=b.bmp\r\n\r\n[Titles]\r\n1=b\r\n",
            ReadFile(folder + "\\2024\\COLLECTION.INI"));
  Add(folder + "\\");  // again, unchecked: its entry selected, its earlier collection kept whole
  EXPECT_EQ("2024|Holiday|*Holiday (2)|Old|", Listed());
  EXPECT_EQ(tree, ReadFile(collection));
  Add(folder + "\\2023");
  EXPECT_EQ(0, boxWas) << "the last choice";
  ASSERT_TRUE(Leave(IDOK));
  EXPECT_EQ(0, int(GetPrivateProfileIntA("Main", "Subfolders", 9, kSettingsPath.c_str())));
}

// A folder whose listing does not end (its collection file a FIFO no one writes to, as a file on a share
// that stopped answering): the progress window comes with what was found, the dialog answers meanwhile,
// and Cancel closes the window and changes nothing; the dialog then ends with the listing still held.
TEST_F(AddFolder, CancelWhileListing) {
  WriteSolidBmp(UnixWorkDir() + "\\a.bmp", 8, 8, kBlue);
  const HANDLE writer = MakeSilentFile(UnixWorkDir() + "\\COLLECTION.INI");
  ASSERT_NE(nullptr, writer);
  Open();
  Add(UnixWorkDir(), -1, false);
  HWND progress = saver->WaitForWindow(5000, kProgress);
  ASSERT_NE(nullptr, progress) << "no progress window";
  EXPECT_EQ("1 picture in 1 folder so far", Text(GetDlgItem(progress, IDC_PROGRESS_COUNTS)));
  DWORD_PTR count = 0;
  EXPECT_TRUE(SendMessageTimeoutW(Item(IDC_COLLECTIONS), LB_GETCOUNT, 0, 0, SMTO_NORMAL, 2000, &count));
  EXPECT_EQ(2u, count);
  PostMessageW(GetDlgItem(progress, IDCANCEL), BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(progress); }, 5000)) << "Cancel did not close it";
  EXPECT_EQ("", saver->CloseMessageBox());
  EXPECT_EQ("Holiday|*Old|", Listed());
  ASSERT_TRUE(Leave(IDCANCEL));
  EXPECT_EQ(settings, ReadFile(kSettingsPath));
  CloseHandle(writer);
  RemoveTree(Wide(UnixWorkDir()));
}

// Names outside the code page, from the folder to the screen. Each is a folder's own name and its one
// picture's, each folder in a folder of its own: added through the picker, listed (a name differing from
// one before only in case gets " (2)"), kept through OK in a LUMARO.INI turned into UTF-16 with its other
// sections, then shown full screen with its title. Wine may lack CJK glyphs: the picture's colour and the
// title's white pixels are checked.
TEST_F(AddFolder, AnyNameFromTheFolderToTheScreen) {
  const struct { const wchar_t *name, *listed; } names[] = {
      {L"Ελλάδα", L"Ελλάδα"}, {L"Москва 2024", L"Москва 2024"}, {L"東京", L"東京"}, {L"🎉 party", L"🎉 party"},
      {L"Cafe\u0301", L"Cafe\u0301"}, {L"Ωmega", L"Ωmega"}, {L"ωmega", L"ωmega (2)"}};
  const auto colour = [](size_t i) { return RGB(40 * i, 250 - 30 * i, 120); };
  settings = "[Main]\r\nFullScreen=1\r\nShowTitle=1\r\n[Other]\r\nKeep=1\r\n" + settings;
  Open();
  for (size_t i = 0; i < std::size(names); i++) {
    const std::wstring parent = Wide(WorkDir()) + L"\\" + std::to_wstring(i), dir = parent + L"\\" + names[i].name;
    RemoveTree(parent), CreateDirectoryW(parent.c_str(), nullptr), CreateDirectoryW(dir.c_str(), nullptr);
    WriteSolidBmp(WorkDir() + "\\made.bmp", 32, 32, colour(i));
    MoveFileW(Wide(WorkDir() + "\\made.bmp").c_str(), (dir + L"\\" + names[i].name + L".bmp").c_str());
    Add(dir);
    EXPECT_NE(std::string::npos, Listed().find("*" + Utf8(names[i].listed) + "|")) << Listed();
  }
  ASSERT_TRUE(Leave(IDOK));
  const std::string saved = ReadFile(kSettingsPath);
  ASSERT_EQ("\xFF\xFE", saved.substr(0, 2));
  const std::wstring text(reinterpret_cast<const wchar_t*>(saved.data() + 2), (saved.size() - 2) / 2);
  EXPECT_NE(std::wstring::npos, text.find(L"[Other]\r\nKeep=1\r\n"));

  for (size_t i = 0; i < std::size(names); i++) {
    WritePrivateProfileStringW(L"ScreenSaver", L"CurrentSet", names[i].listed, Wide(kSettingsPath).c_str());
    Saver show("/s");
    EXPECT_TRUE(ShowsColour(320, 240, colour(i), 5000)) << Utf8(names[i].name);
    EXPECT_GT(WhitePixels({160, 0, 480, 23}), 20) << "no title for " << Utf8(names[i].name);
  }
}

}  // namespace
