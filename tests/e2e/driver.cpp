#include "driver.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace e2e {

std::string SettingsPath() {
  char dir[MAX_PATH];
  UINT n = GetWindowsDirectoryA(dir, sizeof dir);
  if (n == 0 || n >= sizeof dir) return "C:\\windows\\LUMARO.INI";
  return std::string(dir) + "\\LUMARO.INI";
}

std::string WorkDir() {
  static std::string dir;
  if (dir.empty()) {
    char buf[MAX_PATH];
    snprintf(buf, sizeof buf, "C:\\lumaro-e2e-%lu", static_cast<unsigned long>(GetCurrentProcessId()));
    CreateDirectoryA(buf, nullptr);
    dir = buf;
  }
  return dir;
}

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadFile(const std::string& path) {
  std::string bytes;
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return bytes;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
  fclose(f);
  return bytes;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return;
  fwrite(bytes.data(), 1, bytes.size(), f);
  fclose(f);
}

void RemoveFile(const std::string& path) { DeleteFileA(path.c_str()); }

void WriteSettings(const std::string& text) {
  if (text.empty())
    RemoveFile(SettingsPath());
  else
    WriteFile(SettingsPath(), text);
}

bool WaitUntil(const std::function<bool()>& done, int ms) {
  DWORD start = GetTickCount();
  for (;;) {
    if (done()) return true;
    if (static_cast<int>(GetTickCount() - start) >= ms) return false;
    Sleep(20);
  }
}

Saver::~Saver() {
  if (pi_.hProcess) {
    if (Running()) {
      TerminateProcess(pi_.hProcess, 99);
      WaitForSingleObject(pi_.hProcess, 5000);
    }
    CloseHandle(pi_.hProcess);
    CloseHandle(pi_.hThread);
  }
}

bool Saver::Start(const std::string& args) {
  std::string cmd = std::string("\"") + LUMARO_SCR + "\"";
  if (!args.empty()) cmd += " " + args;
  std::vector<char> line(cmd.begin(), cmd.end());
  line.push_back('\0');
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  return CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi_) != 0;
}

namespace {
struct FindWindowArgs {
  DWORD pid;
  const char* caption;
  HWND found;
};

BOOL CALLBACK FindProcessWindow(HWND hWnd, LPARAM lParam) {
  FindWindowArgs* args = reinterpret_cast<FindWindowArgs*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hWnd, &pid);
  if (pid != args->pid || !IsWindowVisible(hWnd)) return TRUE;
  if (args->caption) {
    char text[256] = "";
    GetWindowTextA(hWnd, text, sizeof text);
    if (lstrcmpA(text, args->caption) != 0) return TRUE;
  }
  args->found = hWnd;
  return FALSE;
}
}  // namespace

HWND Saver::WaitForWindowTitled(const char* caption, int ms) {
  FindWindowArgs args = {pi_.dwProcessId, caption, nullptr};
  WaitUntil(
      [&] {
        EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&args));
        return args.found != nullptr || !Running();
      },
      ms);
  return args.found;
}

HWND Saver::WaitForWindow(int ms) { return WaitForWindowTitled(nullptr, ms); }

bool Saver::WaitForExit(int ms, DWORD* exitCode) {
  if (!pi_.hProcess || WaitForSingleObject(pi_.hProcess, ms) != WAIT_OBJECT_0) return false;
  if (exitCode) GetExitCodeProcess(pi_.hProcess, exitCode);
  return true;
}

bool Saver::Running() const {
  return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

namespace {
void Put16(std::string& s, unsigned v) {
  s += static_cast<char>(v & 0xff);
  s += static_cast<char>((v >> 8) & 0xff);
}
void Put32(std::string& s, unsigned v) {
  Put16(s, v & 0xffff);
  Put16(s, v >> 16);
}
}  // namespace

std::string EncodeBmp(const Bmp& bmp) {
  int stride = ((bmp.width * bmp.bits + 31) / 32) * 4;
  std::string bits(static_cast<size_t>(stride) * bmp.height, '\0');
  for (int y = 0; y < bmp.height; y++) {
    size_t row = static_cast<size_t>(bmp.height - 1 - y) * stride;  // bottom-up
    for (int x = 0; x < bmp.width; x++) {
      unsigned v = bmp.pixel(x, y);
      if (bmp.bits == 24) {
        bits[row + 3 * x] = static_cast<char>(GetBValue(v));
        bits[row + 3 * x + 1] = static_cast<char>(GetGValue(v));
        bits[row + 3 * x + 2] = static_cast<char>(GetRValue(v));
      } else {
        int perByte = 8 / bmp.bits;
        int shift = 8 - bmp.bits * (x % perByte + 1);
        bits[row + x / perByte] = static_cast<char>(
            bits[row + x / perByte] | ((v & ((1u << bmp.bits) - 1)) << shift));
      }
    }
  }
  std::string header, table;
  if (bmp.core) {
    Put32(header, 12);
    Put16(header, bmp.width);
    Put16(header, bmp.height);
    Put16(header, 1);
    Put16(header, bmp.bits);
  } else {
    Put32(header, 40);
    Put32(header, bmp.width);
    Put32(header, bmp.height);
    Put16(header, 1);
    Put16(header, bmp.bits);
    Put32(header, 0);
    Put32(header, static_cast<unsigned>(bits.size()));
    Put32(header, 0);
    Put32(header, 0);
    Put32(header, static_cast<unsigned>(bmp.palette.size()));
    Put32(header, 0);
  }
  for (COLORREF c : bmp.palette) {
    table += static_cast<char>(GetBValue(c));
    table += static_cast<char>(GetGValue(c));
    table += static_cast<char>(GetRValue(c));
    if (!bmp.core) table += '\0';
  }
  unsigned offset = static_cast<unsigned>(14 + header.size() + table.size());
  std::string file = "BM";
  Put32(file, static_cast<unsigned>(offset + bits.size()));
  Put32(file, 0);
  Put32(file, offset);
  return file + header + table + bits;
}

void WriteBmp(const std::string& path, const Bmp& bmp) { WriteFile(path, EncodeBmp(bmp)); }

void WriteSolidBmp(const std::string& path, int width, int height, COLORREF colour) {
  Bmp bmp;
  bmp.width = width;
  bmp.height = height;
  bmp.pixel = [colour](int, int) { return static_cast<unsigned>(colour); };
  WriteBmp(path, bmp);
}

std::string WriteCollection(const std::string& name, int count,
                            const std::vector<std::pair<std::string, std::string>>& pictures) {
  std::string text = "[Properties]\r\nCount=" + std::to_string(count) + "\r\n[Pictures]\r\n";
  for (size_t i = 0; i < pictures.size(); i++)
    text += std::to_string(i + 1) + "=" + pictures[i].first + "\r\n";
  text += "[Titles]\r\n";
  for (size_t i = 0; i < pictures.size(); i++)
    if (!pictures[i].second.empty())
      text += std::to_string(i + 1) + "=" + pictures[i].second + "\r\n";
  std::string path = WorkDir() + "\\" + name + ".INI";
  WriteFile(path, text);
  return path;
}

int LinuxPid(const std::string& marker) {
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA("Z:\\proc\\*", &fd);
  if (find == INVALID_HANDLE_VALUE) return 0;
  int found = 0;
  do {
    int pid = atoi(fd.cFileName);
    if (pid <= 0) continue;
    std::string cmdline = ReadFile("Z:\\proc\\" + std::to_string(pid) + "\\cmdline");
    for (char& c : cmdline)
      if (c == '\0') c = ' ';
    if (cmdline.find(marker) != std::string::npos && cmdline.find("lumaro.scr") != std::string::npos) {
      found = pid;
      break;
    }
  } while (FindNextFileA(find, &fd));
  FindClose(find);
  return found;
}

long LinuxStatusKb(int pid, const char* field) {
  std::string status = ReadFile("Z:\\proc\\" + std::to_string(pid) + "\\status");
  std::string key = std::string(field) + ":";
  size_t at = status.find(key);
  if (at == std::string::npos) return -1;
  return atol(status.c_str() + at + key.size());
}

long long LinuxCpuTicks(int pid) {
  std::string stat = ReadFile("Z:\\proc\\" + std::to_string(pid) + "\\stat");
  size_t close = stat.rfind(')');
  if (close == std::string::npos) return -1;
  // Fields after the command: state is field 3; utime and stime are 14, 15.
  const char* p = stat.c_str() + close + 2;
  long long utime = 0, stime = 0;
  for (int field = 3; field <= 15 && *p; field++) {
    if (field == 14) utime = atoll(p);
    if (field == 15) stime = atoll(p);
    p = strchr(p, ' ');
    if (!p) break;
    p++;
  }
  return utime + stime;
}

COLORREF ScreenPixel(int x, int y) {
  HDC dc = GetDC(nullptr);
  COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(nullptr, dc);
  return c;
}

bool IsBlack(COLORREF c) { return Near(c, RGB(0, 0, 0), 8); }

bool Near(COLORREF c, COLORREF want, int tolerance) {
  auto close = [&](int a, int b) { return a - b <= tolerance && b - a <= tolerance; };
  return close(GetRValue(c), GetRValue(want)) && close(GetGValue(c), GetGValue(want)) &&
         close(GetBValue(c), GetBValue(want));
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
