// Helpers for the end-to-end drivers: start lumaro.scr under Wine, find its
// windows, read the screen, send real input, and prepare the files it reads.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

// Where the saver's bare "LUMARO.INI" lives: the Windows directory.
std::string SettingsPath();
// A scratch directory of this process for collections and pictures.
std::string WorkDir();
std::string ReadFile(const std::string& path);  // empty when missing
void WriteFile(const std::string& path, const std::string& bytes);
// Replaces LUMARO.INI with `text`.
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
  // A visible top-level window of the process, with this caption when one
  // is given and other than `except`, within `ms`.
  HWND WaitForWindow(int ms, const char* caption = nullptr, HWND except = nullptr);
  bool WaitForExit(int ms, DWORD* exitCode = nullptr);
  bool Running() const;
  HANDLE Process() const { return pi_.hProcess; }

 private:
  PROCESS_INFORMATION pi_ = {};
};

COLORREF ScreenPixel(int x, int y);
// Within `tolerance` of each channel of `want`.
bool Near(COLORREF c, COLORREF want, int tolerance = 8);
bool IsBlack(COLORREF c);
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
// A 24-bit picture in one colour.
void WriteSolidBmp(const std::string& path, int width, int height, COLORREF colour);

// A collection file in WorkDir() named `name`.INI; `pictures` holds each
// picture's file name and title. Returns the file's path.
std::string WriteCollection(const std::string& name, int count,
                            const std::vector<std::pair<std::string, std::string>>& pictures);

// The Linux process of lumaro.scr whose command line contains `marker`
// (Wine gives it the Windows command line), or 0.
int LinuxPid(const std::string& marker);
// A "Name:   value kB" field of /proc/PID/status, in kB; -1 when missing.
long LinuxStatusKb(int pid, const char* field);
// User plus system CPU time of a Linux process, in clock ticks.
long long LinuxCpuTicks(int pid);

// The GDI objects a process holds, counted in its own handle table (under
// Wine GetGuiResources always answers 0); -1 when the table can't be read.
long GdiObjects(HANDLE process);

// Real input through SendInput.
void MouseTo(int x, int y);
void MouseClick(DWORD downFlag, DWORD upFlag);
void KeyPress(WORD vk);

}  // namespace e2e
