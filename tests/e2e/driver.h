// Helpers for the end-to-end drivers: start lumaro.scr under Wine, find its
// windows, read the screen, send real input, and prepare the files it reads.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace e2e {

// Where the saver's bare "LUMARO.INI" lives: the Windows directory.
std::string SettingsPath();
// A fresh scratch directory for one case's collections and pictures.
std::string WorkDir();

bool FileExists(const std::string& path);
std::string ReadFile(const std::string& path);  // empty when missing
void WriteFile(const std::string& path, const std::string& bytes);
void RemoveFile(const std::string& path);

// Replaces LUMARO.INI with `text`; an empty text removes the file.
void WriteSettings(const std::string& text);

// Polls `done` every 20 ms until it holds or `ms` pass.
bool WaitUntil(const std::function<bool()>& done, int ms);

// A running lumaro.scr; killed when the object goes, if still running.
class Saver {
 public:
  Saver() = default;
  ~Saver();
  Saver(const Saver&) = delete;
  Saver& operator=(const Saver&) = delete;

  // `args` follows the program name on the command line, e.g. "/s".
  bool Start(const std::string& args);
  // The first visible top-level window of the process, within `ms`.
  HWND WaitForWindow(int ms);
  // A visible top-level window of the process with this caption.
  HWND WaitForWindowTitled(const char* caption, int ms);
  bool WaitForExit(int ms, DWORD* exitCode = nullptr);
  bool Running() const;
  DWORD Pid() const { return pi_.dwProcessId; }
  HANDLE Process() const { return pi_.hProcess; }

 private:
  PROCESS_INFORMATION pi_ = {};
};

COLORREF ScreenPixel(int x, int y);
bool IsBlack(COLORREF c);
// Within `tolerance` of each channel of `want`.
bool Near(COLORREF c, COLORREF want, int tolerance = 8);

// Real input through SendInput.
void MouseTo(int x, int y);
void MouseClick(DWORD downFlag, DWORD upFlag);
void KeyPress(WORD vk);

}  // namespace e2e
