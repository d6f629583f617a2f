#include <windows.h>

#include <shellapi.h>

#include "settings/wallpaper.h"
#include "text/utf.h"

namespace {

// The name of this thread's desktop; "" when it cannot be read.
std::string ThreadDesktopName() {
  wchar_t name[256] = L"";
  DWORD needed = 0;
  if (!GetUserObjectInformationW(GetThreadDesktop(GetCurrentThreadId()), UOI_NAME, name, sizeof name, &needed))
    return "";
  return Narrow(name);
}

// Starts this program on the user's desktop to set `path`; FALSE when it
// could not start.
BOOL StartHandOver(const std::string& path) {
  wchar_t program[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return FALSE;
  std::wstring command = Wide(WallpaperCommandLine(Narrow(program), path));
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  si.lpDesktop = const_cast<LPWSTR>(L"WinSta0\\Default");
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(program, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return FALSE;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return TRUE;
}

}  // namespace

void SetWallpaper(const std::string& path) {
  // A process that could not start leaves it here: on a system that allows
  // it from this desktop the wallpaper is still set.
  if (HandsWallpaperOver(ThreadDesktopName()) && StartHandOver(path)) return;
  SetWallpaperHere(path);
}

void SetWallpaperFromCommandLine() {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (args && count > 2) SetWallpaperHere(Narrow(args[2]));
  LocalFree(args);
}
