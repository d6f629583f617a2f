// Collections added from a folder and taken out again, with the dialog worked as a user would: the
// Add folder... button, the system's folder picker with a path typed into it, Remove, OK and Exit.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>

#include "driver.h"
#include "res/resource.h"

using namespace e2e;

namespace {

const COLORREF kRed = RGB(220, 30, 40), kGreen = RGB(30, 200, 60), kBlue = RGB(40, 60, 220);
const char kProgress[] = "Adding pictures";

std::string Text(HWND wnd, UINT msg = WM_GETTEXT, WPARAM wParam = 300) {
  wchar_t text[300] = L"";
  SendMessageW(wnd, msg, wParam, LPARAM(text));
  return Utf8(text);
}

// A folder and everything in it, read-only files too, gone: a scratch directory outlives its process.
void RemoveTree(const std::wstring& dir) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &data);
  for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &data)) {
    const std::wstring path = dir + L"\\" + data.cFileName;
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL), DeleteFileW(path.c_str());
    else if (data.cFileName[0] != L'.') RemoveTree(path);
  }
  if (find != INVALID_HANDLE_VALUE) FindClose(find);
  RemoveDirectoryW(dir.c_str());
}

BOOL CALLBACK FindSubfoldersBox(HWND w, LPARAM found) {
  wchar_t text[40] = L"";
  GetWindowTextW(w, text, 40);
  if (wcscmp(text, L"Include &subfolders") == 0) *reinterpret_cast<HWND*>(found) = w;
  return TRUE;
}

class AddFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const std::string& dir : {folder, WorkDir() + "\\Empty"}) RemoveTree(std::wstring(dir.begin(), dir.end()));
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
    saver.reset();
    WriteSettings(settings);
    saver.reset(new Saver(""));
    ASSERT_NE(nullptr, dlg = saver->WaitForWindow(10000, "Lumaro Configuration")) << "no dialog";
  }

  // Add folder..., the path typed into the picker, "Include subfolders" set to `box` (unless -1; its state
  // before goes into boxWas), Open; then, when asked, waits until the folder is done.
  void Add(const std::string& path, int box = -1, bool wait = true) { Add(std::wstring(path.begin(), path.end()), box, wait); }
  void Add(const std::wstring& path, int box = -1, bool wait = true) {
    PostMessageW(GetDlgItem(dlg, IDC_ADD_FOLDER), BM_CLICK, 0, 0);
    HWND picker = saver->WaitForWindow(10000, "Add a folder of pictures");
    ASSERT_NE(nullptr, picker) << "no folder picker";
    HWND check = nullptr;
    EnumChildWindows(picker, &FindSubfoldersBox, LPARAM(&check));
    boxWas = check ? SendMessageW(check, BM_GETCHECK, 0, 0) == BST_CHECKED : -1;
    if (box >= 0 && check && boxWas != box) SendMessageW(check, BM_CLICK, 0, 0);
    HWND edit = GetDlgItem(picker, 1152);  // the picker's name field
    SendMessageW(edit, WM_SETTEXT, 0, LPARAM(path.c_str()));
    DWORD_PTR result = 0;  // a message box may open inside the handler: never wait on it for ever
    SendMessageTimeoutW(picker, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(GetDlgItem(picker, IDOK)), SMTO_NORMAL,
                        10000, &result);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(picker); }, 10000)) << "the picker stayed";
    if (!wait) return;
    // Answered once the folder is done or its progress window is up; then that window goes.
    SendMessageTimeoutW(dlg, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
    ASSERT_TRUE(WaitUntil([&] { return !saver->Window(kProgress); }, 10000)) << "still adding";
  }

  // The text of the message box the saver shows, which is then closed; "" when none comes.
  std::string Message() {
    HWND box = saver->WaitForWindow(5000, "Lumaro");
    if (!box) return "";
    const std::string text = Text(GetDlgItem(box, 0xFFFF));
    PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000));
    return text;
  }

  std::string Listed() {
    HWND list = GetDlgItem(dlg, IDC_COLLECTIONS);
    std::string items;
    for (LRESULT i = 0, n = SendMessageW(list, LB_GETCOUNT, 0, 0); i < n; i++)
      items += (i == SendMessageW(list, LB_GETCURSEL, 0, 0) ? "*" : "") + Text(list, LB_GETTEXT, WPARAM(i)) + "|";
    return items;
  }

  bool PreviewShows(COLORREF colour) {
    return WaitUntil([&] {
      RECT r = {};
      GetWindowRect(GetDlgItem(dlg, IDC_PREVIEW_AREA), &r);
      return Near(ScreenPixel((r.left + r.right) / 2, (r.top + r.bottom) / 2), colour);
    }, 3000);
  }

  void Leave(int button) {
    PostMessageW(GetDlgItem(dlg, button), BM_CLICK, 0, 0);
    ASSERT_TRUE(saver->WaitForExit(10000)) << "the dialog is still open";
  }

  std::string folder = WorkDir() + "\\Holiday", collection = folder + "\\COLLECTION.INI", settings;
  std::unique_ptr<Saver> saver;
  HWND dlg = nullptr;
  int boxWas = -1;
};

// Added in name order (IMG_2 before IMG_10), listed under a free name, selected and previewed; OK writes the
// entry and makes it current, and the slideshow then shows the folder's pictures.
TEST_F(AddFolder, AddedThenShown) {
  // A hidden file (a dot file, under Wine) is no picture of the collection.
  WriteSolidBmp(folder + "\\.IMG_1.BMP", 32, 32, kBlue);
  Open();
  Add(folder);
  EXPECT_EQ("Holiday|*Holiday (2)|Old|", Listed());
  EXPECT_TRUE(PreviewShows(kRed)) << "picture 1 is not previewed";
  EXPECT_EQ("[Properties]\r\nCount=2\r\n\r\n[Pictures]\r\n1=IMG_2.BMP\r\n2=IMG_10.BMP\r\n\r\n[Titles]\r\n1=IMG_2\r\n2=IMG_10\r\n",
            ReadFile(collection));
  EXPECT_EQ(settings, ReadFile(kSettingsPath)) << "written before OK";
  Leave(IDOK);
  const std::string saved = ReadFile(kSettingsPath);
  EXPECT_NE(std::string::npos, saved.find("CurrentSet=Holiday (2)\r\n")) << saved;
  EXPECT_NE(std::string::npos, saved.find("Holiday (2)=" + collection + "\r\n")) << saved;

  Saver show("/s");  // picture 7 of 2 goes on with picture 1
  EXPECT_TRUE(WaitUntil([] { return Near(ScreenPixel(320, 240), kRed); }, 5000)) << "the folder's picture 1";
}

// Exit keeps LUMARO.INI as it was; the folder's file stays. Added again after files came and went, the folder's
// collection keeps its place in the list and its edited title; vanished files go, new ones follow in order.
TEST_F(AddFolder, ExitThenAddedAgain) {
  Open();
  Add(folder);
  Leave(IDCANCEL);
  EXPECT_EQ(settings, ReadFile(kSettingsPath));
  ASSERT_NE("", ReadFile(collection));

  WriteFile(collection, "[Properties]\r\nCount=2\r\n[Pictures]\r\n1=IMG_10.BMP\r\n2=IMG_2.BMP\r\n"
                        "[Titles]\r\n1=Ten\r\n2=Two, edited\r\n");
  DeleteFileA((folder + "\\IMG_10.BMP").c_str());
  WriteSolidBmp(folder + "\\IMG_3.BMP", 32, 32, kBlue);
  WriteSolidBmp(folder + "\\IMG_1.BMP", 32, 32, kGreen);
  settings += "Holiday (2)=" + collection + "\r\n";
  Open();
  Add(folder + "\\");
  EXPECT_EQ("", Message());
  EXPECT_EQ("Holiday|*Holiday (2)|Old|", Listed());
  EXPECT_TRUE(PreviewShows(kRed));
  EXPECT_EQ("[Properties]\r\nCount=3\r\n\r\n[Pictures]\r\n1=IMG_2.BMP\r\n2=IMG_1.BMP\r\n3=IMG_3.BMP\r\n\r\n"
            "[Titles]\r\n1=Two, edited\r\n2=IMG_1\r\n3=IMG_3\r\n", ReadFile(collection));
  Leave(IDCANCEL);
  EXPECT_EQ(settings, ReadFile(kSettingsPath));
}

// A Sets entry past the 8 KiB the list is read from is not listed, yet its name stays taken.
TEST_F(AddFolder, AnEntryTheListCannotShowKeepsItsName) {
  for (int i = 0; i < 120; i++) settings += "Filler " + std::to_string(i) + "=C:\\" + std::string(60, 'x') + "\r\n";
  settings += "Holiday (2)=C:\\kept.INI\r\n";
  Open();
  Add(folder);
  Leave(IDOK);
  const std::string saved = ReadFile(kSettingsPath);
  EXPECT_NE(std::string::npos, saved.find("Holiday (2)=C:\\kept.INI\r\n")) << saved;
  EXPECT_NE(std::string::npos, saved.find("CurrentSet=Holiday (3)\r\n")) << saved;
  EXPECT_NE(std::string::npos, saved.find("Holiday (3)=" + collection + "\r\n")) << saved;
}

// A folder that cannot take the collection, or has no pictures: the message, and nothing changed. Remove
// then OK drops the entry, makes the next one current and leaves the folder's files as they were.
TEST_F(AddFolder, RefusedAndRemoved) {
  const std::string before = "[Properties]\r\nCount=1\r\n[Pictures]\r\n1=IMG_2.BMP\r\n";
  WriteFile(collection, before);
  SetFileAttributesA(collection.c_str(), FILE_ATTRIBUTE_READONLY);
  const std::string empty = WorkDir() + "\\Empty";
  CreateDirectoryA(empty.c_str(), nullptr);
  WriteFile(empty + "\\notes.txt", "not a picture");
  settings += "Holiday (2)=" + collection + "\r\n";
  Open();
  Add(folder);
  EXPECT_NE(std::string::npos, Message().find("cannot write its collection file COLLECTION.INI into \"" + folder));
  Add(empty);
  EXPECT_NE(std::string::npos, Message().find("\"" + empty + "\" holds no pictures Lumaro can show"));
  EXPECT_EQ("Holiday|Holiday (2)|*Old|", Listed());
  EXPECT_EQ(before, ReadFile(collection));
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "\\*.tmp").c_str(), &data);
  EXPECT_EQ(INVALID_HANDLE_VALUE, find) << "a temporary file was left: " << data.cFileName;
  if (find != INVALID_HANDLE_VALUE) FindClose(find);

  HWND list = GetDlgItem(dlg, IDC_COLLECTIONS);
  SendMessageW(list, LB_SETCURSEL, 1, 0);
  SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDC_COLLECTIONS, LBN_SELCHANGE), LPARAM(list));
  PostMessageW(GetDlgItem(dlg, IDC_REMOVE_COLLECTION), BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return Listed() == "Holiday|*Old|"; }, 3000)) << Listed();
  EXPECT_TRUE(PreviewShows(kBlue)) << "the next collection is not current";
  Leave(IDOK);
  const std::string saved = ReadFile(kSettingsPath);
  EXPECT_EQ(std::string::npos, saved.find("Holiday (2)")) << saved;
  EXPECT_NE(std::string::npos, saved.find("Holiday=")) << saved;
  EXPECT_EQ(before, ReadFile(collection));
  EXPECT_NE("", ReadFile(folder + "\\IMG_2.BMP"));
}

// A tree three levels deep, "Include subfolders" checked as it comes: the folder's own pictures, then each
// subfolder's, depth first, each level in name order; a hidden folder (a dot folder, under Wine) and a link to
// a folder (a Unix symbolic link, which Wine shows as Windows shows a junction) are left out, the link's
// target being outside the tree. Unchecked, a folder's own pictures only; OK keeps the box's state.
TEST_F(AddFolder, SubfoldersDepthFirst) {
  const std::string outside = WorkDir() + "\\Outside";
  for (const char* dir : {"\\2024", "\\2024\\05 Party", "\\2024\\05 Party\\deep", "\\2023", "\\.hidden"})
    CreateDirectoryA((folder + dir).c_str(), nullptr);
  CreateDirectoryA(outside.c_str(), nullptr);
  for (const char* file : {"\\2024\\b.bmp", "\\2024\\05 Party\\c.bmp", "\\2024\\05 Party\\deep\\d.bmp",
                                  "\\2023\\a.bmp", "\\.hidden\\h.bmp"})
    WriteSolidBmp(folder + file, 8, 8, kBlue);
  WriteSolidBmp(outside + "\\x.bmp", 8, 8, kBlue);
  ASSERT_TRUE(MakeLink(folder + "\\link", outside));
  Open();
  Add(folder);
  EXPECT_EQ(1, boxWas) << "checked by default";
  EXPECT_EQ("[Properties]\r\nCount=6\r\n\r\n[Pictures]\r\n1=IMG_2.BMP\r\n2=IMG_10.BMP\r\n3=2023\\a.bmp\r\n4=2024\\b.bmp\r\n"
            "5=2024\\05 Party\\c.bmp\r\n6=2024\\05 Party\\deep\\d.bmp\r\n\r\n[Titles]\r\n1=IMG_2\r\n2=IMG_10\r\n3=a\r\n"
            "4=b\r\n5=c\r\n6=d\r\n", ReadFile(collection));
  Add(folder + "\\2024", 0);
  EXPECT_EQ(1, boxWas);
  EXPECT_EQ("[Properties]\r\nCount=1\r\n\r\n[Pictures]\r\n1=b.bmp\r\n\r\n[Titles]\r\n1=b\r\n",
            ReadFile(folder + "\\2024\\COLLECTION.INI"));
  Add(folder + "\\2023");
  EXPECT_EQ(0, boxWas) << "the last choice";
  Leave(IDOK);
  EXPECT_EQ(0, int(GetPrivateProfileIntA("Main", "Subfolders", 9, kSettingsPath)));
}

// A folder whose listing does not end (its collection file a FIFO no one writes to, as a file on a share
// that stopped answering): the progress window comes with what was found, the dialog answers meanwhile,
// and Cancel closes the window and changes nothing; the dialog then ends with the listing still held.
TEST_F(AddFolder, CancelWhileListing) {
  const std::string unix = "/tmp/lumaro-cancel-" + std::to_string(GetCurrentProcessId());
  std::string slow = "Z:" + unix;
  std::replace(slow.begin(), slow.end(), '/', '\\');
  RemoveTree(Wide(slow)), CreateDirectoryA(slow.c_str(), nullptr);
  WriteSolidBmp(slow + "\\a.bmp", 8, 8, kBlue);
  const HANDLE writer = MakeSilentFile(unix, "COLLECTION.INI");
  ASSERT_NE(nullptr, writer);
  Open();
  Add(slow, -1, false);
  HWND progress = saver->WaitForWindow(5000, kProgress);
  ASSERT_NE(nullptr, progress) << "no progress window";
  EXPECT_EQ("1 picture in 1 folder so far", Text(GetDlgItem(progress, IDC_PROGRESS_COUNTS)));
  DWORD_PTR count = 0;
  EXPECT_TRUE(SendMessageTimeoutW(GetDlgItem(dlg, IDC_COLLECTIONS), LB_GETCOUNT, 0, 0, SMTO_NORMAL, 2000, &count));
  EXPECT_EQ(2u, count);
  PostMessageW(GetDlgItem(progress, IDCANCEL), BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(progress); }, 5000)) << "Cancel did not close it";
  EXPECT_EQ("", Message());
  EXPECT_EQ("Holiday|*Old|", Listed());
  Leave(IDCANCEL);
  EXPECT_EQ(settings, ReadFile(kSettingsPath));
  CloseHandle(writer);
  RemoveTree(Wide(slow));
}

// Names outside the code page, from the folder to the screen. Each is a folder's own name and its one
// picture's, each folder in a folder of its own: added through the picker, listed (a name differing from
// one before only in case gets " (2)"),
// kept through OK in a LUMARO.INI turned into UTF-16 with its other sections, then shown full screen with
// its title. Wine may lack CJK glyphs: the picture's colour and the title's white pixels are checked.
TEST_F(AddFolder, AnyNameFromTheFolderToTheScreen) {
  const struct { const wchar_t *name, *listed; } names[] = {
      {L"Ελλάδα", L"Ελλάδα"}, {L"Москва 2024", L"Москва 2024"}, {L"東京", L"東京"}, {L"🎉 party", L"🎉 party"},
      {L"Cafe\u0301", L"Cafe\u0301"}, {L"Ωmega", L"Ωmega"}, {L"ωmega", L"ωmega (2)"}};
  settings = "[Main]\r\nFullScreen=1\r\nShowTitle=1\r\n[Other]\r\nKeep=1\r\n" + settings;
  Open();
  const std::wstring work = Wide(WorkDir());
  for (size_t i = 0; i < std::size(names); i++) {
    const std::wstring dir = work + L"\\" + std::to_wstring(i) + L"\\" + names[i].name;
    RemoveTree(dir.substr(0, dir.rfind(L'\\'))), CreateDirectoryW(dir.substr(0, dir.rfind(L'\\')).c_str(), nullptr);
    CreateDirectoryW(dir.c_str(), nullptr);
    WriteSolidBmp(WorkDir() + "\\made.bmp", 32, 32, RGB(40 * i, 250 - 30 * i, 120));
    MoveFileW((work + L"\\made.bmp").c_str(), (dir + L"\\" + names[i].name + L".bmp").c_str());
    Add(dir);
    EXPECT_NE(std::string::npos, Listed().find("*" + Utf8(names[i].listed) + "|")) << Listed();
  }
  Leave(IDOK);
  const std::string saved = ReadFile(kSettingsPath);
  ASSERT_EQ("\xFF\xFE", saved.substr(0, 2));
  const std::wstring text(reinterpret_cast<const wchar_t*>(saved.data() + 2), (saved.size() - 2) / 2);
  EXPECT_NE(std::wstring::npos, text.find(L"[Other]\r\nKeep=1\r\n"));
  // An older version reads the ASCII keys through the narrow functions as before.
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, kSettingsPath);
  EXPECT_EQ(1, int(GetPrivateProfileIntA("Main", "ShowTitle", 0, kSettingsPath)));
  char old[300] = "";
  GetPrivateProfileStringA("ScreenSaver", "CurrentSet", "", old, sizeof old, kSettingsPath);
  printf("an older version reads CurrentSet=%s as \"%s\"\n", Utf8(names[std::size(names) - 1].listed).c_str(), old);

  for (size_t i = 0; i < std::size(names); i++) {
    const std::wstring wideSettings = Wide(kSettingsPath);
    WritePrivateProfileStringW(L"ScreenSaver", L"CurrentSet", names[i].listed, wideSettings.c_str());
    Saver show("/s");
    EXPECT_TRUE(WaitUntil([&] { return Near(ScreenPixel(320, 240), RGB(40 * i, 250 - 30 * i, 120)); }, 5000))
        << Utf8(names[i].name);
    EXPECT_GT(WhitePixels({160, 0, 480, 23}), 20) << "no title for " << Utf8(names[i].name);
  }
}

}  // namespace
