#include "driver.h"

#include <algorithm>

#include <cstdio>
#include <cstdlib>
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

bool WaitUntil(const std::function<bool()>& done, int ms) {
  for (DWORD start = GetTickCount();; Sleep(20)) {
    if (done()) return true;
    if (static_cast<int>(GetTickCount() - start) >= ms) return false;
  }
}

Saver::~Saver() {
  if (!pi_.hProcess) return;
  if (Running()) {
    TerminateProcess(pi_.hProcess, 99);
    WaitForSingleObject(pi_.hProcess, 5000);
  }
  CloseHandle(pi_.hProcess);
  CloseHandle(pi_.hThread);
}

bool Saver::Start(const std::string& args) {
  std::string cmd = std::string("\"") + LUMARO_SCR + "\"" + (args.empty() ? "" : " " + args);
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  return CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi_) != 0;
}

HWND Saver::WaitForWindow(int ms, const char* caption, HWND except) {
  HWND found = nullptr;
  WaitUntil(
      [&]() -> bool {
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

bool Saver::Running() const {
  return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
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
        row[3 * x] = GetBValue(v);
        row[3 * x + 1] = GetGValue(v);
        row[3 * x + 2] = GetRValue(v);
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

std::string WriteCollection(const std::string& name, int count,
                            const std::vector<std::pair<std::string, std::string>>& pictures) {
  std::string list, titles;
  for (size_t i = 0; i < pictures.size(); i++) {
    list += std::to_string(i + 1) + "=" + pictures[i].first + "\r\n";
    if (!pictures[i].second.empty())
      titles += std::to_string(i + 1) + "=" + pictures[i].second + "\r\n";
  }
  std::string path = WorkDir() + "\\" + name + ".INI";
  WriteFile(path, "[Properties]\r\nCount=" + std::to_string(count) + "\r\n[Pictures]\r\n" + list +
                      "[Titles]\r\n" + titles);
  return path;
}

namespace {
std::string Proc(int pid, const char* file) {
  return ReadFile("Z:\\proc\\" + std::to_string(pid) + "\\" + file);
}
}  // namespace

int LinuxPid(const std::string& marker) {
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA("Z:\\proc\\*", &fd);
  if (find == INVALID_HANDLE_VALUE) return 0;
  int found = 0;
  do {
    int pid = atoi(fd.cFileName);
    std::string cmdline = pid > 0 ? Proc(pid, "cmdline") : "";
    for (char& c : cmdline)
      if (c == '\0') c = ' ';
    if (cmdline.find(marker) != std::string::npos &&
        cmdline.find("lumaro.scr") != std::string::npos)
      found = pid;
  } while (!found && FindNextFileA(find, &fd));
  FindClose(find);
  return found;
}

long LinuxStatusKb(int pid, const char* field) {
  std::string status = Proc(pid, "status"), key = std::string(field) + ":";
  size_t at = status.find(key);
  return at == std::string::npos ? -1 : atol(status.c_str() + at + key.size());
}

long long LinuxCpuTicks(int pid) {
  // After the command in brackets: the state is field 3, utime and stime 14 and 15.
  std::string stat = Proc(pid, "stat");
  size_t close = stat.rfind(')');
  long long utime = 0, stime = 0;
  if (close == std::string::npos ||
      sscanf(stat.c_str() + close + 1, "%*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %lld %lld",
             &utime, &stime) != 2)
    return -1;
  return utime + stime;
}

namespace {
// One entry of the GDI handle table that the process environment block of
// a 32-bit process names at offset 0x94; a live object has a type.
#pragma pack(push, 4)
struct GdiHandleEntry {
  ULONGLONG object;
  ULONG owner;
  USHORT unique;
  UCHAR type;
  UCHAR flags;
  ULONGLONG user;
};
#pragma pack(pop)
static_assert(sizeof(GdiHandleEntry) == 24, "handle table entry");

struct BasicInformation {
  LONG exitStatus;
  void* peb;
  ULONG_PTR affinity, priority, pid, parentPid;
};
}  // namespace

long GdiObjects(HANDLE process) {
  typedef LONG(WINAPI * QueryFn)(HANDLE, int, void*, ULONG, ULONG*);
  QueryFn query = reinterpret_cast<QueryFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
  BasicInformation info = {};
  if (!query || query(process, 0, &info, sizeof info, nullptr) != 0) return -1;
  DWORD table = 0;
  if (!ReadProcessMemory(process, static_cast<BYTE*>(info.peb) + 0x94, &table, sizeof table,
                         nullptr) || !table)
    return -1;
  std::vector<GdiHandleEntry> entries(0x10000);
  if (!ReadProcessMemory(process, reinterpret_cast<void*>(static_cast<ULONG_PTR>(table)),
                         entries.data(), entries.size() * sizeof entries[0], nullptr))
    return -1;
  return static_cast<long>(std::count_if(entries.begin(), entries.end(),
                                         [](const GdiHandleEntry& e) { return e.type != 0; }));
}

COLORREF ScreenPixel(int x, int y) {
  HDC dc = GetDC(nullptr);
  COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(nullptr, dc);
  return c;
}

bool Near(COLORREF c, COLORREF want, int tolerance) {
  auto close = [&](int a, int b) { return abs(a - b) <= tolerance; };
  return close(GetRValue(c), GetRValue(want)) && close(GetGValue(c), GetGValue(want)) &&
         close(GetBValue(c), GetBValue(want));
}

bool IsBlack(COLORREF c) { return Near(c, RGB(0, 0, 0)); }

bool PointerHidden() {
  CURSORINFO ci = {};
  ci.cbSize = sizeof ci;
  return GetCursorInfo(&ci) && (ci.hCursor == nullptr || !(ci.flags & CURSOR_SHOWING));
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

void MouseClick(DWORD downFlag, DWORD upFlag) {
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = downFlag;
  in[1].mi.dwFlags = upFlag;
  SendInput(2, in, sizeof in[0]);
}

void KeyPress(WORD vk) {
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = vk;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof in[0]);
}

}  // namespace e2e
