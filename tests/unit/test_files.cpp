#include "test_files.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>

#ifndef _WIN32
#include <unistd.h>

#include "platform/native_hooks.h"
#define GetCurrentProcessId getpid
#endif

namespace fs = std::filesystem;

namespace {

// Paths are kept with backslashes, as the program's own are; natively the C
// library wants slashes.
std::string Swap(std::string path, char from, char to) {
#ifndef _WIN32
  for (char& c : path)
    if (c == from) c = to;
#else
  (void)from, (void)to;
#endif
  return path;
}
std::string LocalPath(const std::string& path) { return Swap(path, '\\', '/'); }

std::atomic<int> g_serial{0};

}  // namespace

TempDir::TempDir() {
  fs::path dir;
  do {
    dir = fs::temp_directory_path() /
          ("lumaro-test-" + std::to_string(long(GetCurrentProcessId())) + "-" + std::to_string(++g_serial));
  } while (fs::exists(dir));
  fs::create_directories(dir);
  m_dir = Swap(dir.string(), '/', '\\');
  while (m_dir.size() > 1 && m_dir.back() == '\\') m_dir.pop_back();
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(LocalPath(m_dir), ec);
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::error_code ec;
  fs::create_directories(fs::path(LocalPath(path)).parent_path(), ec);
  std::ofstream(LocalPath(path), std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(LocalPath(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return fs::exists(LocalPath(path), ec);
}

#ifdef _WIN32
std::string SettingsFilePath() {
  char dir[MAX_PATH];
  UINT n = GetWindowsDirectoryA(dir, sizeof dir);
  return n == 0 || n >= sizeof dir ? std::string() : std::string(dir) + "\\LUMARO.INI";
}

// Windows keeps the file in its own directory and may cache it: flush, then
// start and end without one.
static void DeleteSettingsFile() {
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, "LUMARO.INI");
  DeleteFileA(SettingsFilePath().c_str());
}
SettingsFileScope::SettingsFileScope() { DeleteSettingsFile(); }
SettingsFileScope::~SettingsFileScope() { DeleteSettingsFile(); }
#else
std::string SettingsFilePath() { return Swap(NativeProfileDirectory(), '/', '\\') + "\\LUMARO.INI"; }

SettingsFileScope::SettingsFileScope() {
  NativeSetProfileDirectory(LocalPath(m_home.Path("home")).c_str());
  NativeClearSpiCalls();
  NativeSetSpiHook(nullptr, nullptr);
}
SettingsFileScope::~SettingsFileScope() {
  NativeSetProfileDirectory(nullptr);
  NativeSetSpiHook(nullptr, nullptr);
}
#endif

UINT CurrentScreenSaveTimeout() {
  UINT seconds = 0;
  SystemParametersInfoA(SPI_GETSCREENSAVETIMEOUT, 0, &seconds, 0);
  return seconds;
}

std::string CurrentWallpaper() {
  char path[1024] = "";
  SystemParametersInfoA(SPI_GETDESKWALLPAPER, sizeof path, path, 0);
  return path;
}

void SetWallpaper(const char* path) {
  SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(path), SPIF_UPDATEINIFILE);
}
