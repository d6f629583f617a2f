#include "driver.h"

#include <cstdio>
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
