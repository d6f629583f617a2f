#include "driver.h"

#include <shlwapi.h>
#include <winternl.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "unit/bmp_writer.h"

namespace e2e {

std::string SettingsPath() {
  char dir[MAX_PATH] = "C:\\windows";
  GetWindowsDirectoryA(dir, sizeof dir);
  return std::string(dir) + "\\LUMARO.INI";
}

std::string WorkDir() {
  static const std::string dir = "C:\\lumaro-e2e-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

void WriteSettings(const std::string& text) { WriteFile(SettingsPath(), text); }

std::string Desktop(const char* name, const char* set) {
  const char* key = "Control Panel\\Desktop";
  if (set) SHSetValueA(HKEY_CURRENT_USER, key, name, REG_SZ, set, DWORD(strlen(set) + 1));
  char value[MAX_PATH] = "";
  DWORD size = sizeof value;
  SHGetValueA(HKEY_CURRENT_USER, key, name, nullptr, value, &size);
  return value;
}

bool WaitUntil(const std::function<bool()>& done, int ms) {
  for (DWORD start = GetTickCount();; Sleep(20)) {
    if (done()) return true;
    if (static_cast<int>(GetTickCount() - start) >= ms) return false;
  }
}

Saver::~Saver() {
  if (!pi_.hProcess) return;
  TerminateProcess(pi_.hProcess, 99);  // fails harmlessly once it has ended
  WaitForSingleObject(pi_.hProcess, 5000);
  CloseHandle(pi_.hProcess);
  CloseHandle(pi_.hThread);
}

bool Saver::Start(const std::string& args) {
  std::string cmd = std::string("\"") + LUMARO_SCR + "\" " + args;
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  return CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_);
}

HWND Saver::WaitForWindow(int ms, const char* caption, HWND except) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, nullptr, caption)) != nullptr;) {
          DWORD pid = 0;
          GetWindowThreadProcessId(w, &pid);
          if (pid == pi_.dwProcessId && w != except && IsWindowVisible(w)) return (found = w) != nullptr;
        }
        return !Running();
      },
      ms);
  return found;
}

bool Saver::WaitForExit(int ms, DWORD* exitCode) {
  if (!pi_.hProcess || WaitForSingleObject(pi_.hProcess, ms) != WAIT_OBJECT_0) return false;
  if (exitCode) GetExitCodeProcess(pi_.hProcess, exitCode);
  return true;
}

COLORREF ScreenPixel(int x, int y) {
  HDC dc = GetDC(nullptr);
  COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(nullptr, dc);
  return c;
}

bool Near(COLORREF c, COLORREF want, int tolerance) {
  for (int shift : {0, 8, 16})
    if (abs(int(c >> shift & 255) - int(want >> shift & 255)) > tolerance) return false;
  return true;
}

bool PointerHidden() {
  CURSORINFO ci = {};
  ci.cbSize = sizeof ci;
  return GetCursorInfo(&ci) && (ci.hCursor == nullptr || !(ci.flags & CURSOR_SHOWING));
}

std::string EncodeBmp(const Bmp& bmp) {
  BmpFile file;
  file.headerSize = bmp.core ? 12 : 40;
  file.width = bmp.width;
  file.height = bmp.height;
  file.bitCount = static_cast<uint16_t>(bmp.bits);
  file.clrUsed = static_cast<uint32_t>(bmp.palette.size());
  for (COLORREF c : bmp.palette) {
    file.table.insert(file.table.end(), {GetBValue(c), GetGValue(c), GetRValue(c)});
    if (!bmp.core) file.table.push_back(0);
  }
  const size_t stride = RowBytes(bmp.bits, bmp.width);
  file.bits.assign(stride * bmp.height, 0);
  for (int y = 0; y < bmp.height; y++) {
    uint8_t* row = &file.bits[(bmp.height - 1 - y) * stride];  // bottom-up
    for (int x = 0; x < bmp.width; x++) {
      unsigned v = bmp.pixel(x, y);
      if (bmp.bits == 24) {
        uint8_t bgr[3] = {GetBValue(v), GetGValue(v), GetRValue(v)};
        memcpy(row + 3 * x, bgr, 3);
      } else {
        int shift = 8 - bmp.bits * (x % (8 / bmp.bits) + 1);
        row[x * bmp.bits / 8] |= static_cast<uint8_t>((v & ((1u << bmp.bits) - 1)) << shift);
      }
    }
  }
  std::vector<uint8_t> bytes = file.Bytes();
  return std::string(bytes.begin(), bytes.end());
}

void WriteBmp(const std::string& path, const Bmp& bmp) { WriteFile(path, EncodeBmp(bmp)); }

void WriteSolidBmp(const std::string& path, int width, int height, COLORREF colour) {
  WriteBmp(path, {width, height, 24, false, {}, [colour](int, int) -> unsigned { return colour; }});
}

std::string WriteCollection(const std::string& name, int count, const Pictures& pictures) {
  std::string list, titles;
  for (size_t i = 0; i < pictures.size(); i++) {
    list += std::to_string(i + 1) + "=" + pictures[i].first + "\r\n";
    titles += std::to_string(i + 1) + "=" + pictures[i].second + "\r\n";
  }
  std::string path = WorkDir() + "\\" + name + ".INI";
  WriteFile(path, "[Properties]\r\nCount=" + std::to_string(count) + "\r\n[Pictures]\r\n" + list +
                      "[Titles]\r\n" + titles);
  return path;
}

long GdiObjects(HANDLE process) {
  // The process environment block of a 32-bit process names the table at
  // 0x94: 0x10000 entries of 24 bytes, a live one with its type at byte 14.
  PROCESS_BASIC_INFORMATION info = {};
  DWORD table = 0;
  std::vector<BYTE> entries(0x10000 * 24);
  if (NtQueryInformationProcess(process, ProcessBasicInformation, &info, sizeof info, nullptr) ||
      !ReadProcessMemory(process, reinterpret_cast<BYTE*>(info.PebBaseAddress) + 0x94, &table,
                         sizeof table, nullptr) ||
      !table || !ReadProcessMemory(process, reinterpret_cast<void*>(ULONG_PTR{table}),
                                   entries.data(), entries.size(), nullptr))
    return -1;
  long live = 0;
  for (size_t i = 14; i < entries.size(); i += 24) live += entries[i] != 0;
  return live;
}

void MouseTo(int x, int y) {
  INPUT in = {};
  in.type = INPUT_MOUSE;
  int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  in.mi.dx = (x * 65535 + (cx - 1) / 2) / (cx - 1);
  in.mi.dy = (y * 65535 + (cy - 1) / 2) / (cy - 1);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
}

void Press(WORD vk) {
  // Each button's up flag is its down flag shifted by one.
  const DWORD down = vk == VK_LBUTTON   ? MOUSEEVENTF_LEFTDOWN
                     : vk == VK_RBUTTON ? MOUSEEVENTF_RIGHTDOWN
                     : vk == VK_MBUTTON ? MOUSEEVENTF_MIDDLEDOWN
                                        : 0;
  INPUT in[2] = {};
  for (DWORD i = 0; i < 2; i++) {
    if (down) {
      in[i].type = INPUT_MOUSE;
      in[i].mi.dwFlags = down << i;
    } else {
      in[i].type = INPUT_KEYBOARD;
      in[i].ki.wVk = vk;
      in[i].ki.dwFlags = i ? KEYEVENTF_KEYUP : 0;
    }
  }
  SendInput(2, in, sizeof in[0]);
}

}  // namespace e2e
