// LUMARO.INI and a collection file C.INI beside it, from arbitrary bytes in any encoding (the code page,
// UTF-8 with or without its signature, UTF-16LE with its mark), read as the program reads them:
// the record, the catalogue, each collection selected in turn, picture paths and titles. Every text must
// end inside its buffer. C.INI is also read as a folder's earlier collection, brought up to date, and what
// is written for it must read back as it was; the slideshow's index of it must read as the profile reader.
// Input: LUMARO.INI, then "\n%%\n", then C.INI.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/native_hooks.h"
#include "settings/collection.h"
#include "settings/collection_index.h"
#include "settings/folder_collection.h"
#include "settings/profile.h"
#include "settings/saver_settings.h"
#include "text/utf.h"

static void Write(const std::string& path, const uint8_t* data, size_t size) {
  FILE* f = fopen(path.c_str(), "wb");
  if (!f || fwrite(data, 1, size, f) != size || fclose(f) != 0) abort();
}

static SaverSettings settings;
static CollectionIndex lookups;

static void CheckTexts(const char* name) {
  const SaverSettings& s = settings;
  if (Utf16Length(name) > kNameChars || strnlen(s.CurrentSet, kNameSize) == kNameSize ||
      strnlen(s.CollectionFile, kValueSize) == kValueSize || strnlen(s.CollectionDir, kValueSize) == kValueSize)
    abort();
  lookups.Refresh(CollectionPath(s));
  for (int number : {1, 2, 10}) {
    std::string path;
    if (LookUpPicturePath(lookups, s.CollectionDir, number, &path) ? Utf16Length(path) > kPathChars : !path.empty())
      abort();
    if (LookUpTitle(lookups, number).size() >= kValueSize) abort();
  }
}

static std::string Entries(const std::vector<CollectionEntry>& entries) {
  std::string text;
  for (const CollectionEntry& e : entries) text += e.file + '\0' + e.title + '\0';
  return text;
}

// The index the slideshow looks pictures up in reads every key as the profile reader does.
static void CheckIndex(const std::string& file) {
  CollectionIndex index;
  index.Refresh(file);
  const Profile profile(file.c_str());
  if (index.Count() != profile.Int("Properties", "Count", 0)) abort();
  for (int number : {1, 2, 3, 10, 12, 0, -1, 2147483647, -2147483647 - 1}) {
    const std::string key = std::to_string(number);
    if (index.Value(CollectionIndex::kPictures, number) != profile.String("Pictures", key.c_str()) ||
        index.Value(CollectionIndex::kTitles, number) != profile.String("Titles", key.c_str()))
      abort();
  }
}

static void CheckRewrite(const std::string& dir) {
  const std::string earlier = dir + "/C.INI", rewritten = dir + "/R.INI";
  std::vector<CollectionEntry> entries, again;
  if (!ReadCollectionEntries(earlier.c_str(), &entries)) return;
  std::vector<FolderFile> files;
  for (const CollectionEntry& e : entries) files.push_back({std::wstring(e.file.begin(), e.file.end()), e.file});
  const FolderCollection plan = PlanFolderCollection(dir.size(), {files}, entries, true);
  const std::string text = CollectionText(plan.pictures);
  Write(rewritten, reinterpret_cast<const uint8_t*>(text.data()), text.size());
  if (!ReadCollectionEntries(rewritten.c_str(), &again) || Entries(again) != Entries(plan.pictures)) abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::string dir;
  char made[] = "/tmp/lumaro-ini-fuzz-XXXXXX";
  if (dir.empty() && mkdtemp(made)) NativeSetProfileDirectory((dir = made).c_str());
  const uint8_t* split = static_cast<const uint8_t*>(memmem(data, size, "\n%%\n", 4));
  const size_t first = split ? size_t(split - data) : size;
  Write(dir + "/LUMARO.INI", data, first);
  Write(dir + "/C.INI", split ? split + 4 : data, split ? size - first - 4 : size);
  const std::string file = dir + "/LUMARO.INI";
  settings = SaverSettings{};
  LoadSettings(file, &settings);
  ResolveCurrentCollection(file, &settings);
  CheckTexts("");
  ListCollections(
      file, [](const char* name, void* f) { SelectCollection(*static_cast<const std::string*>(f), &settings, name), CheckTexts(name); },
      const_cast<std::string*>(&file));
  CheckIndex(dir + "/C.INI");
  CheckRewrite(dir);
  return 0;
}
