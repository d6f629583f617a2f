// Helpers for the end-to-end drivers: start lumaro.scr under Wine, find its
// windows, read the screen, send real input, and write the files it reads.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

using Pictures = std::vector<std::pair<std::string, std::string>>;  // file name, title

// Where the saver's bare "LUMARO.INI" lives: the Windows directory.
std::string SettingsPath();
std::string WorkDir();  // this process's scratch directory for pictures
std::string ReadFile(const std::string& path);  // empty when missing
void WriteFile(const std::string& path, const std::string& bytes);
void WriteSettings(const std::string& text);  // replaces LUMARO.INI
// A value of HKCU\Control Panel\Desktop, after writing `set` when given:
// this process's own SystemParametersInfo would answer from a cache.
std::string Desktop(const char* name, const char* set = nullptr);
// Polls `done` every 20 ms until it holds or `ms` pass.
bool WaitUntil(const std::function<bool()>& done, int ms);

// A running lumaro.scr; killed when the object goes, if still running.
class Saver {
 public:
  Saver() = default;
  ~Saver();
  Saver(const Saver&) = delete;
  Saver& operator=(const Saver&) = delete;

  bool Start(const std::string& args);  // `args` follows the program name
  // A visible top-level window of the process, with this caption when one
  // is given and other than `except`, within `ms`.
  HWND WaitForWindow(int ms, const char* caption = nullptr, HWND except = nullptr);
  bool WaitForExit(int ms, DWORD* exitCode = nullptr);
  bool Running() const { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }
  HANDLE Process() const { return pi_.hProcess; }

 private:
  PROCESS_INFORMATION pi_ = {};
};

COLORREF ScreenPixel(int x, int y);
bool Near(COLORREF c, COLORREF want, int tolerance = 8);  // per channel
bool PointerHidden();

// A BMP file: `pixel(x, y)`, y counted from the top, gives a palette index
// for 1, 4 and 8 bits and a COLORREF for 24 bits. `core` writes the old
// 12-byte header (3-byte table entries).
struct Bmp {
  int width = 0, height = 0, bits = 24;
  bool core = false;
  std::vector<COLORREF> palette;
  std::function<unsigned(int x, int y)> pixel;
};
std::string EncodeBmp(const Bmp& bmp);
void WriteBmp(const std::string& path, const Bmp& bmp);
void WriteSolidBmp(const std::string& path, int width, int height, COLORREF colour);
// WorkDir()\`name`.INI listing `pictures` as numbers 1, 2, ...; returns its path.
std::string WriteCollection(const std::string& name, int count, const Pictures& pictures);

// The GDI objects a process holds, counted in its own handle table (under
// Wine GetGuiResources always answers 0); -1 when the table can't be read.
long GdiObjects(HANDLE process);

// Real input through SendInput. Press takes a key or VK_LBUTTON,
// VK_RBUTTON or VK_MBUTTON, and sends it down and up.
void MouseTo(int x, int y);
void Press(WORD vk);

}  // namespace e2e
