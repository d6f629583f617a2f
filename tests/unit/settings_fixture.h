// Files for the settings tests: a temporary directory, files written into
// it, and a fixture that starts every test without LUMARO.INI.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
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
inline std::string ReadFile(const std::string& path) {  // empty when missing, or a folder
  if (std::filesystem::is_directory(LocalPath(path))) return "";
  std::ifstream in(LocalPath(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A fresh directory, removed with its contents at the end of the test.
struct TempDir {
  TempDir() { std::filesystem::create_directories(LocalPath(dir)); }
  ~TempDir() { std::error_code ec; std::filesystem::remove_all(LocalPath(dir), ec); }
  std::string Path(const std::string& name) const { return dir + "\\" + name; }
  std::string dir = Swap(::testing::TempDir() + "lumaro-" + std::to_string(std::random_device()()), '/', '\\');
};

// Entries as "file=title|" each.
inline std::string Listed(const std::vector<CollectionEntry>& entries) {
  std::string text;
  for (const CollectionEntry& e : entries) text += e.file + "=" + e.title + "|";
  return text;
}

#define SET(field, text) snprintf(settings.field, sizeof settings.field, "%s", std::string(text).c_str())

// Each test starts without LUMARO.INI, in a directory of its own, which
// natively is also where bare profile names live.
class Settings : public ::testing::Test {
 protected:
#ifndef _WIN32
  Settings() { NativeSetProfileDirectory(LocalPath(m_dir.dir).c_str()); }
  ~Settings() override { NativeSetProfileDirectory(nullptr); }
#endif
  // The catalogue's names, in the order the dialog gets them.
  std::vector<std::string> Catalogue() const {
    std::vector<std::string> names;
    ListCollections(m_file, [](const char* n, void* v) { static_cast<std::vector<std::string>*>(v)->push_back(n); }, &names);
    return names;
  }
  // Picture `number` of the record's collection, as the show looks it up.
  BOOL PathOf(int number, std::string* path) {
    m_index.Refresh(CollectionPath(settings));
    return LookUpPicturePath(m_index, settings.CollectionDir, number, path);
  }
  TempDir m_dir;
  std::string m_file = m_dir.Path("LUMARO.INI"), m_sea = m_dir.Path("SEA.INI");
  SaverSettings settings{};
  CollectionIndex m_index;
};
