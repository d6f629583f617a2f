// Files for the settings tests: a temporary directory, files written into
// it, and a fixture that starts every test without LUMARO.INI.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "settings/collection.h"
#include "settings/folder_collection.h"
#include "settings/saver_settings.h"

#ifndef _WIN32
#include "platform/native_hooks.h"
#endif

// Paths keep backslashes, as collection paths do; the C library gets slashes, which Windows takes too.
inline std::string Swap(std::string path, char from, char to) { return std::replace(path.begin(), path.end(), from, to), path; }
inline std::string LocalPath(const std::string& path) { return Swap(path, '\\', '/'); }
inline void WriteFile(const std::string& path, const std::string& bytes) { std::ofstream(LocalPath(path), std::ios::binary) << bytes; }

// A fresh directory, removed with its contents at the end of the test.
struct TempDir {
  TempDir() { std::filesystem::create_directories(LocalPath(dir)); }
  ~TempDir() { std::error_code ec; std::filesystem::remove_all(LocalPath(dir), ec); }
  std::string Path(const std::string& name) const { return dir + "\\" + name; }
  std::string dir = Swap(::testing::TempDir() + "lumaro-" + std::to_string(std::random_device()()), '/', '\\');
};

// The catalogue's names, in the order the dialog gets them.
inline std::vector<std::string> Catalogue() {
  std::vector<std::string> names;
  ListCollections([](const char* n, void* v) { static_cast<std::vector<std::string>*>(v)->push_back(n); }, &names);
  return names;
}

// Entries as "file=title|" each.
inline std::string Listed(const std::vector<CollectionEntry>& entries) {
  std::string text;
  for (const CollectionEntry& e : entries) text += e.file + "=" + e.title + "|";
  return text;
}

#define SET(field, text) snprintf(theSettings.field, sizeof theSettings.field, "%s", std::string(text).c_str())

// LUMARO.INI: natively in the test's own profile directory, under Wine in Windows' directory.
inline std::string SettingsFile(const TempDir& dir) {
#ifdef _WIN32
  char windows[MAX_PATH] = "";
  GetWindowsDirectoryA(windows, sizeof windows);
  return (void)dir, windows + std::string("\\LUMARO.INI");
#else
  NativeSetProfileDirectory(LocalPath(dir.dir).c_str());
  return dir.Path("LUMARO.INI");
#endif
}

// Each test starts without LUMARO.INI, which Windows may cache.
class Settings : public ::testing::Test {
 protected:
  void SetUp() override { TearDown(); }
  void TearDown() override {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, kSettingsFile);
    remove(LocalPath(m_file).c_str());
    theSettings = SaverSettings{};
  }
  TempDir m_dir;
  std::string m_file = SettingsFile(m_dir), m_sea = m_dir.Path("SEA.INI");
};
