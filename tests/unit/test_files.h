// Files and system settings for the unit tests, the same on both platforms:
// natively through the stand-ins' hooks, under Wine through Windows itself.
#pragma once

#include <string>

#include "platform/win.h"

// A fresh directory, removed with everything in it at the end of the test.
// Paths use backslashes on both platforms, as collection paths do.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Dir() const { return m_dir; }
  std::string Path(const std::string& name) const { return m_dir + "\\" + name; }

 private:
  std::string m_dir;
};

// Paths as above; ReadFile gives "" for a missing file.
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);

// Gives the test a missing LUMARO.INI, at SettingsFilePath(), and removes
// what the test wrote.
class SettingsFileScope {
 public:
  SettingsFileScope();
  ~SettingsFileScope();
  SettingsFileScope(const SettingsFileScope&) = delete;
  SettingsFileScope& operator=(const SettingsFileScope&) = delete;

 private:
  TempDir m_home;  // natively, the profile directory
};
std::string SettingsFilePath();

// What the system holds for the two settings the program writes.
UINT CurrentScreenSaveTimeout();
std::string CurrentWallpaper();
void SetWallpaper(const char* path);
