// Helpers of the end-to-end drivers: run lumaro.scr under Wine, read the screen, send input, write its files.
#pragma once

#include <windows.h>

#include <shlwapi.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "unit/bmp_writer.h"

namespace e2e {

using Pictures = std::vector<std::pair<std::string, std::string>>;  // file name, title

const char kSettingsPath[] = "C:\\windows\\LUMARO.INI";  // where Wine keeps the saver's bare "LUMARO.INI"

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

inline std::string WorkDir() {  // this process's scratch directory
  static const std::string dir = "C:\\lumaro-e2e-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir;
}

inline std::string ReadFile(const std::string& path) {  // empty when missing
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
inline void WriteSettings(const std::string& text) { WriteFile(kSettingsPath, text); }

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

  bool Running() const { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }
  DWORD Id() const { return pi_.dwProcessId; }
  HANDLE Process() const { return pi_.hProcess; }

 private:
  PROCESS_INFORMATION pi_ = {};
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

// White pixels (within 40 in each channel) in `area` of the screen.
inline int WhitePixels(const RECT& area) {
  const Screenshot screen(area);
  int white = 0;
  for (int y = area.top; y < area.bottom; y++)
    for (int x = area.left; x < area.right; x++) white += Near(screen(x, y), RGB(255, 255, 255), 40);
  return white;
}

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

// A picture file that never answers, as one on a share that stopped: a FIFO (made by the Unix mkfifo) that this
// process holds open for writing and never writes to, made in the Unix folder `unixDir` (Wine's Z: drive).
// Returns the handle to close when done, or null.
inline HANDLE MakeSilentFile(const std::string& unixDir, const std::string& name) {
  std::string cmd = "start.exe /unix /usr/bin/mkfifo " + unixDir + "/" + name;
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return nullptr;
  CloseHandle(pi.hProcess), CloseHandle(pi.hThread);
  std::string win = "Z:" + unixDir + "/" + name;
  std::replace(win.begin(), win.end(), '/', '\\');
  // Opened for reading and writing: to write only would wait for a reader. Asked again until mkfifo, which
  // start.exe does not wait for, has made it.
  HANDLE writer = INVALID_HANDLE_VALUE;
  WaitUntil([&] {
    writer = CreateFileA(win.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
    return writer != INVALID_HANDLE_VALUE;
  }, 10000);
  return writer == INVALID_HANDLE_VALUE ? nullptr : writer;
}

// A Unix symbolic link at `link` to the folder `target`, both Windows paths of this prefix: what Wine shows
// as Windows shows a junction. FALSE when it could not be made.
inline bool MakeLink(const std::string& link, const std::string& target) {
  typedef char*(CDECL * UnixName)(const WCHAR*);
  // Through void*: the address GetProcAddress gives has no type of its own.
  const auto unixName = reinterpret_cast<UnixName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
  if (!unixName) return false;
  char* to = unixName(Wide(target).c_str());
  char* dir = unixName(Wide(link.substr(0, link.rfind('\\'))).c_str());
  if (!to || !dir) return false;
  std::string cmd = std::string("start.exe /unix /bin/ln -s ") + to + " " + dir + "/" + link.substr(link.rfind('\\') + 1);
  HeapFree(GetProcessHeap(), 0, to), HeapFree(GetProcessHeap(), 0, dir);
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  CloseHandle(pi.hProcess), CloseHandle(pi.hThread);
  return WaitUntil([&] { return GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES; }, 10000);
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
