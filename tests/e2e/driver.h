// The end-to-end drivers' plumbing: lumaro.scr run under Wine, its settings, collections and pictures written,
// the screen read, input sent, and waits.
#pragma once

#include <windows.h>

#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "res/resource.h"
#include "unit/bmp_writer.h"

namespace e2e {

using Pictures = std::vector<std::pair<std::string, std::string>>;  // file name, title

// A folder of the user's own, as the saver finds it (CSIDL_APPDATA, CSIDL_LOCAL_APPDATA), with "\\Lumaro", made.
inline std::string LumaroFolder(int csidl) {
  char path[MAX_PATH] = "";
  SHGetFolderPathA(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path);
  return CreateDirectoryA((path + std::string("\\Lumaro")).c_str(), nullptr), path + std::string("\\Lumaro");
}
inline const std::string kSettingsPath = LumaroFolder(CSIDL_APPDATA) + "\\LUMARO.INI";
const COLORREF kRed = RGB(220, 30, 40), kGreen = RGB(30, 200, 60), kBlue = RGB(40, 60, 220), kBlack = 0,
               kWhite = RGB(255, 255, 255);

inline std::string Utf8(const std::wstring& wide) {
  std::string utf8(wide.size() * 3 + 1, '\0');
  utf8.resize(WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, &utf8[0], int(utf8.size()), nullptr, nullptr) - 1);
  return utf8;
}

inline std::wstring Wide(const std::string& utf8) {
  std::wstring wide(utf8.size() + 1, L'\0');
  wide.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &wide[0], int(wide.size())) - 1);
  return wide;
}

// A folder and everything in it, read-only files too, gone: a scratch directory outlives its process.
inline void RemoveTree(const std::wstring& dir) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &data);
  for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &data)) {
    const std::wstring path = dir + L"\\" + data.cFileName;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (wcscmp(data.cFileName, L".") != 0 && wcscmp(data.cFileName, L"..") != 0) RemoveTree(path);
    } else {
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL), DeleteFileW(path.c_str());
    }
  }
  if (find != INVALID_HANDLE_VALUE) FindClose(find);
  RemoveDirectoryW(dir.c_str());
}

// This process's scratch directories: one on C:, one in /tmp (Wine's Z:), where Unix programs can make files;
// Wine gives the number of a process that has ended to the next, so the latter is emptied as it is first used.
inline std::string WorkDir() {
  static const std::string dir = "C:\\lumaro-e2e-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir;
}
inline std::string UnixWorkDir() {
  // Named for the user too: another user's folder of the same number could not be emptied.
  static const std::string dir = [] {
    char user[256] = "";
    DWORD size = sizeof user;
    GetUserNameA(user, &size);
    return "Z:\\tmp\\lumaro-e2e-" + std::string(user) + "-" + std::to_string(GetCurrentProcessId());
  }();
  static const bool emptied = (RemoveTree(Wide(dir)), true);
  CreateDirectoryA(dir.c_str(), nullptr);
  return (void)emptied, dir;
}

// Where the saver keeps the collections of folders it cannot write into.
inline std::string LocalCollections() { return LumaroFolder(CSIDL_LOCAL_APPDATA) + "\\Collections"; }

inline std::string ReadFile(const std::string& path) {  // empty when missing
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
inline void WriteSettings(const std::string& text) { WriteFile(kSettingsPath, text); }

// CurrentPicture as the file holds it now, past any cache; -1 when absent.
inline int StoredPicture() {
  const std::string text = ReadFile(kSettingsPath);
  const size_t at = text.find("CurrentPicture=");
  return at == std::string::npos ? -1 : atoi(text.c_str() + at + 15);
}

// A value of HKCU\Control Panel\Desktop, written first when `set`: our SystemParametersInfo answers from a cache.
inline std::string Desktop(const char* name, const char* set = nullptr) {
  if (set) SHSetValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", name, REG_SZ, set, DWORD(strlen(set) + 1));
  char value[MAX_PATH] = "";
  DWORD size = sizeof value;
  SHGetValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", name, nullptr, value, &size);
  return value;
}

// Polls every 20 ms, handling this thread's messages meanwhile: a saver whose window is a child of ours sends it some.
inline bool WaitUntil(const std::function<bool()>& done, int ms) {
  for (DWORD start = GetTickCount(); !done(); MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT)) {
    for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&msg);
    if (int(GetTickCount() - start) >= ms) return false;
  }
  return true;
}

// A Unix command run through start.exe, which does not wait for it.
inline bool RunUnix(std::string cmd) {
  cmd = "start.exe /unix " + cmd;
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  CloseHandle(pi.hProcess), CloseHandle(pi.hThread);
  return true;
}

// The text a window answers `msg` with (WM_GETTEXT, LB_GETTEXT), sent as Unicode across processes.
inline std::string Text(HWND wnd, UINT msg = WM_GETTEXT, WPARAM wParam = 300) {
  wchar_t text[300] = L"";
  SendMessageW(wnd, msg, wParam, LPARAM(text));
  return Utf8(text);
}

// lumaro.scr (this build's, or the one at `scr`) started with `args` after its name, killed when the object goes.
class Saver {
 public:
  explicit Saver(const std::string& args, const char* scr = LUMARO_SCR) {
    std::string cmd = std::string("\"") + scr + "\" " + args;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_);
  }
  Saver(const Saver&) = delete;
  ~Saver() {
    TerminateProcess(pi_.hProcess, 99);  // fails harmlessly once it has ended
    WaitForSingleObject(pi_.hProcess, 5000);
    CloseHandle(pi_.hProcess);
    CloseHandle(pi_.hThread);
  }

  // A visible top-level window of the process, with this caption when one is given, or null.
  HWND Window(const char* caption = nullptr) const {
    for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, nullptr, caption)) != nullptr;) {
      DWORD pid = 0;
      GetWindowThreadProcessId(w, &pid);
      if (pid == pi_.dwProcessId && IsWindowVisible(w)) return w;
    }
    return nullptr;
  }

  // The same within `ms`.
  HWND WaitForWindow(int ms, const char* caption = nullptr) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = Window(caption)) != nullptr || !Running(); }, ms);
    return found;
  }

  bool WaitForExit(int ms, DWORD* exitCode = nullptr) {
    if (!pi_.hProcess || WaitForSingleObject(pi_.hProcess, ms) != WAIT_OBJECT_0) return false;
    return !exitCode || GetExitCodeProcess(pi_.hProcess, exitCode);
  }

  // The text of the message box the saver shows, which is then closed; "" when none comes within `ms`.
  std::string CloseMessageBox(int ms = 5000) {
    HWND box = WaitForWindow(ms, "Lumaro");
    if (!box) return "";
    const std::string text = Text(GetDlgItem(box, 0xFFFF));
    PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    WaitUntil([&] { return !IsWindow(box); }, 5000);
    return text;
  }

  bool Running() const { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }
  DWORD Id() const { return pi_.dwProcessId; }
  HANDLE Process() const { return pi_.hProcess; }

 private:
  PROCESS_INFORMATION pi_ = {};
};

// A fresh saver in `saver`, the one before killed first, on `settings`: its window (with `caption`) within 10 s.
inline HWND Restart(std::unique_ptr<Saver>& saver, const std::string& settings, const std::string& args = "/s",
                    const char* caption = nullptr) {
  saver.reset();
  WriteSettings(settings);
  saver.reset(new Saver(args));
  return saver->WaitForWindow(10000, caption);
}

// The configuration dialog of a saver started on `settings`, worked through its controls.
struct Dialog {
  void Open(const std::string& settings) { dlg = Restart(saver, settings, "", "Lumaro Configuration"); }
  HWND Item(int id) const { return GetDlgItem(dlg, id); }
  void Click(int id) const { PostMessageW(Item(id), BM_CLICK, 0, 0); }  // posted: a message box must not block us
  bool Leave(int button, DWORD* exitCode = nullptr) { return Click(button), saver->WaitForExit(10000, exitCode); }

  // The list's items, each followed by "|", the selected one marked "*".
  std::string Listed() const {
    std::string items;
    for (LRESULT i = 0, n = SendMessageW(Item(IDC_COLLECTIONS), LB_GETCOUNT, 0, 0); i < n; i++)
      items += (i == SendMessageW(Item(IDC_COLLECTIONS), LB_GETCURSEL, 0, 0) ? "*" : "") +
               Text(Item(IDC_COLLECTIONS), LB_GETTEXT, WPARAM(i)) + "|";
    return items;
  }

  // The preview's centre, and its corners too when asked, show `colour` within `ms`.
  bool PreviewShows(COLORREF colour, int ms = 3000, bool corners = false) const;

  std::unique_ptr<Saver> saver;
  HWND dlg = nullptr;
};

inline COLORREF ScreenPixel(int x, int y) {
  static const HDC screen = GetDC(nullptr);
  return GetPixel(screen, x, y);
}

inline RECT PrimaryRect() { return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

inline RECT VirtualScreenRect() {
  const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return {x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN), y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

// A rectangle of the screen copied once, for reading many pixels: every GetPixel on the screen asks the X server.
// Pixels are read at screen coordinates.
struct Screenshot {
  RECT area;
  int width = area.right - area.left, height = area.bottom - area.top;
  std::vector<DWORD> bits = std::vector<DWORD>(size_t(width) * height);
  explicit Screenshot(const RECT& rect = PrimaryRect()) : area(rect) {
    HDC screen = GetDC(nullptr), mem = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(mem, bitmap);
    BitBlt(mem, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(mem, old);
    BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    GetDIBits(mem, bitmap, 0, height, bits.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap), DeleteDC(mem), ReleaseDC(nullptr, screen);
  }
  COLORREF operator()(int x, int y) const {
    const DWORD p = bits[size_t(y - area.top) * width + (x - area.left)];
    return RGB(p >> 16 & 255, p >> 8 & 255, p & 255);
  }
};

inline bool Near(COLORREF c, COLORREF want, int tolerance = 8) {  // in each channel
  for (int shift : {0, 8, 16})
    if (abs(int(c >> shift & 255) - int(want >> shift & 255)) > tolerance) return false;
  return true;
}

// The screen at (x, y) shows `want` within `ms`.
inline bool ShowsColour(int x, int y, COLORREF want, int ms = 4000) {
  return WaitUntil([&] { return Near(ScreenPixel(x, y), want); }, ms);
}

inline bool Dialog::PreviewShows(COLORREF colour, int ms, bool corners) const {
  return WaitUntil([&] {
    RECT r = {};
    GetWindowRect(Item(IDC_PREVIEW_AREA), &r);
    const POINT p[] = {{(r.left + r.right) / 2, (r.top + r.bottom) / 2}, {r.left, r.top}, {r.right - 1, r.top},
                       {r.left, r.bottom - 1}, {r.right - 1, r.bottom - 1}};
    return std::all_of(p, p + (corners ? 5 : 1), [&](POINT q) { return Near(ScreenPixel(q.x, q.y), colour); });
  }, ms);
}

// Pixels of `colour` (within `tolerance` in each channel) in `area` of `shot`.
inline int CountColour(const Screenshot& shot, COLORREF colour, const RECT& area, int tolerance = 40) {
  int n = 0;
  for (int y = area.top; y < area.bottom; y++)
    for (int x = area.left; x < area.right; x++) n += Near(shot(x, y), colour, tolerance);
  return n;
}
inline int WhitePixels(const RECT& area) { return CountColour(Screenshot(area), kWhite, area); }

inline bool PointerHidden() {
  CURSORINFO ci = {};
  ci.cbSize = sizeof ci;
  return GetCursorInfo(&ci) && (ci.hCursor == nullptr || !(ci.flags & CURSOR_SHOWING));
}

inline void WriteBmp(const std::string& path, const BmpFile& bmp) {
  const std::vector<uint8_t> bytes = bmp.Bytes();
  WriteFile(path, std::string(bytes.begin(), bytes.end()));
}

// A 24-bit picture whose pixel at (x, y), y from the top, is `pixel(x, y)`.
inline void WriteBmp(const std::string& path, int width, int height, const std::function<COLORREF(int, int)>& pixel) {
  BmpFile bmp;
  bmp.width = width, bmp.height = height, bmp.bits.resize(RowBytes(24, width) * height);
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      uint8_t* at = &bmp.bits[(height - 1 - y) * RowBytes(24, width) + 3 * x];  // bottom-up
      const COLORREF c = pixel(x, y);
      at[0] = GetBValue(c), at[1] = GetGValue(c), at[2] = GetRValue(c);
    }
  WriteBmp(path, bmp);
}

inline void WriteSolidBmp(const std::string& path, int width, int height, COLORREF colour) {
  WriteBmp(path, width, height, [colour](int, int) { return colour; });
}

// WorkDir()\`name`.INI listing `pictures` as numbers 1, 2, ...; returns its path.
inline std::string WriteCollection(const std::string& name, int count, const Pictures& pictures) {
  std::string list = "[Pictures]\r\n", titles = "[Titles]\r\n";
  for (size_t i = 1; i <= pictures.size(); i++) {
    list += std::to_string(i) + "=" + pictures[i - 1].first + "\r\n";
    titles += std::to_string(i) + "=" + pictures[i - 1].second + "\r\n";
  }
  WriteFile(WorkDir() + "\\" + name + ".INI", "[Properties]\r\nCount=" + std::to_string(count) + "\r\n" + list + titles);
  return WorkDir() + "\\" + name + ".INI";
}

// Settings that show `pictures` (Count `count`, or their number) as the current collection "C", with the keys
// `main` and `screenSaver` (lines, or whole sections after [Main]) in their sections.
inline std::string ShowSettings(const Pictures& pictures, const std::string& main = "", const std::string& screenSaver = "",
                                int count = -1) {
  return "[Main]\r\n" + main + "\r\n[ScreenSaver]\r\nCurrentSet=C\r\n" + screenSaver + "\r\n[Sets]\r\nC=" +
         WriteCollection("C", count < 0 ? int(pictures.size()) : count, pictures) + "\r\n";
}

// The Unix path of a Windows path of this prefix, or "" (wine_get_unix_file_name, found at run time).
inline std::string UnixPath(const std::string& path) {
  typedef char*(CDECL * UnixName)(const WCHAR*);
  // Through void*: the address GetProcAddress gives has no type of its own.
  const auto unixName = reinterpret_cast<UnixName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
  char* name = unixName ? unixName(Wide(path).c_str()) : nullptr;
  const std::string unix = name ? name : "";
  HeapFree(GetProcessHeap(), 0, name);
  return unix;
}

// `command` run on the Unix path of `path`, a Windows path of this prefix, and then `done` within 10 s.
inline bool RunUnixOn(const std::string& command, const std::string& path, const std::function<bool()>& done) {
  const std::string unix = UnixPath(path);
  return !unix.empty() && RunUnix(command + " " + unix) && WaitUntil(done, 10000);
}

// A file that never answers, as one on a share that stopped: a FIFO at `path` (made by the Unix mkfifo, in
// place of any file there) that this process holds open and never writes to. Returns the handle to close with
// RemoveSilentFile (Wine cannot delete a FIFO), or null.
inline HANDLE MakeSilentFile(const std::string& path) {
  DeleteFileA(path.c_str());
  // Opened for reading and writing: to write only would wait for a reader. Asked again until mkfifo has made it.
  HANDLE writer = INVALID_HANDLE_VALUE;
  return RunUnixOn("/usr/bin/mkfifo", path, [&] {
    return (writer = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr)) != INVALID_HANDLE_VALUE;
  }) ? writer : nullptr;
}
inline void RemoveSilentFile(const std::string& path, HANDLE writer) {
  CloseHandle(writer);
  RunUnixOn("/bin/rm -f", path, [&] {  // listed while it is there: Wine fails every attribute call on a FIFO
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(path.c_str(), &data);
    return find == INVALID_HANDLE_VALUE || !FindClose(find);
  });
}

// The Windows directory, which scripts/test makes read-only to the tests' user, its owner: made writable for a
// moment to put there what an older version left, then read-only again (not waited for: root writes anyway).
inline std::string WindowsDir() {
  char dir[MAX_PATH] = "";
  return std::string(dir, GetWindowsDirectoryA(dir, MAX_PATH));
}
inline bool WindowsDirWritable(bool writable) {
  return RunUnixOn(writable ? "/bin/chmod u+w" : "/bin/chmod a-w", WindowsDir(), [&] {
    if (!writable) return true;
    HANDLE probe = CreateFileA((WindowsDir() + "\\lumaro-probe").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    return probe != INVALID_HANDLE_VALUE && CloseHandle(probe);
  });
}

// A Unix symbolic link at `link` to the folder `target`, both Windows paths of this prefix: what Wine shows
// as Windows shows a junction. FALSE when it could not be made.
inline bool MakeLink(const std::string& link, const std::string& target) {
  const std::string to = UnixPath(target), dir = UnixPath(link.substr(0, link.rfind('\\')));
  const bool started = !to.empty() && !dir.empty() && RunUnix("/bin/ln -s " + to + " " + dir + "/" + link.substr(link.rfind('\\') + 1));
  return started && WaitUntil([&] { return GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES; }, 10000);
}

// Anywhere on the virtual screen; on one monitor the same numbers as a move relative to the primary.
inline void MouseTo(int x, int y) {
  const RECT v = VirtualScreenRect();
  const int cx = v.right - v.left - 1, cy = v.bottom - v.top - 1;
  mouse_event(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK, ((x - v.left) * 65535 + cx / 2) / cx,
              ((y - v.top) * 65535 + cy / 2) / cy, 0, 0);
}

// Down and up: a key, or VK_LBUTTON, VK_RBUTTON, VK_MBUTTON (whose up flag is the down flag shifted by one).
inline void Press(WORD vk) {
  const DWORD down = vk == VK_LBUTTON ? MOUSEEVENTF_LEFTDOWN : vk == VK_RBUTTON ? MOUSEEVENTF_RIGHTDOWN
                     : vk == VK_MBUTTON ? MOUSEEVENTF_MIDDLEDOWN : 0;
  for (DWORD up : {0, 1})
    down ? mouse_event(down << up, 0, 0, 0, 0) : keybd_event(BYTE(vk), 0, up * KEYEVENTF_KEYUP, 0);
}

}  // namespace e2e
