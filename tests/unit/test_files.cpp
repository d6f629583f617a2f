#include "test_files.h"

#include <atomic>
#include <cstdio>
#include <filesystem>

#ifndef _WIN32
#include <unistd.h>

#include "platform/native_hooks.h"
#endif

namespace fs = std::filesystem;

namespace {

// A backslash path as the C library of this platform wants it.
std::string LocalPath(const std::string& path) {
#ifdef _WIN32
  return path;
#else
  std::string p = path;
  for (char& c : p)
    if (c == '\\') c = '/';
  return p;
#endif
}

std::string ProfilePath(const std::string& local) {
#ifdef _WIN32
  return local;
#else
  std::string p = local;
  for (char& c : p)
    if (c == '/') c = '\\';
  return p;
#endif
}

std::atomic<int> g_serial{0};

}  // namespace

TempDir::TempDir() {
#ifdef _WIN32
  long pid = static_cast<long>(GetCurrentProcessId());
#else
  long pid = static_cast<long>(getpid());
#endif
  fs::path base = fs::temp_directory_path();
  fs::path dir;
  do {
    dir = base / ("lumaro-test-" + std::to_string(pid) + "-" + std::to_string(++g_serial));
  } while (fs::exists(dir));
  fs::create_directories(dir);
  m_dir = ProfilePath(dir.string());
  while (m_dir.size() > 1 && m_dir.back() == '\\') m_dir.pop_back();
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(LocalPath(m_dir), ec);
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::error_code ec;
  fs::create_directories(fs::path(LocalPath(path)).parent_path(), ec);
  FILE* f = fopen(LocalPath(path).c_str(), "wb");
  if (!f) return;
  fwrite(bytes.data(), 1, bytes.size(), f);
  fclose(f);
}

std::string ReadFile(const std::string& path) {
  std::string data;
  FILE* f = fopen(LocalPath(path).c_str(), "rb");
  if (!f) return data;
  char chunk[4096];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, f)) > 0) data.append(chunk, n);
  fclose(f);
  return data;
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return fs::exists(LocalPath(path), ec);
}

std::string SettingsFilePath() {
#ifdef _WIN32
  char dir[MAX_PATH];
  UINT n = GetWindowsDirectoryA(dir, sizeof dir);
  if (n == 0 || n >= sizeof dir) return std::string();
  return std::string(dir) + "\\LUMARO.INI";
#else
  return ProfilePath(NativeProfileDirectory()) + "\\LUMARO.INI";
#endif
}

SettingsFileScope::SettingsFileScope() {
#ifdef _WIN32
  // Windows keeps the file in its own directory; start without one.
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, "LUMARO.INI");  // flush any cached copy
  DeleteFileA(SettingsFilePath().c_str());
#else
  NativeSetProfileDirectory(LocalPath(m_home.Path("home")).c_str());
  NativeClearSpiCalls();
  NativeSetSpiHook(nullptr, nullptr);
#endif
}

SettingsFileScope::~SettingsFileScope() {
#ifdef _WIN32
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, "LUMARO.INI");
  DeleteFileA(SettingsFilePath().c_str());
#else
  NativeSetProfileDirectory(nullptr);
  NativeSetSpiHook(nullptr, nullptr);
#endif
}

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
