#include "settings/collection.h"

#include <cstdio>
#include <cstring>

#include "settings/picture_path.h"
#include "settings/profile.h"
#include "text/utf.h"

namespace {

void CutCollectionDir(SaverSettings* s) {
  snprintf(s->CollectionDir, sizeof s->CollectionDir, "%s", s->CollectionFile);
  CutAtLastBackslash(s->CollectionDir);
}

void SetCurrentName(SaverSettings* s, const char* name) {
  snprintf(s->CurrentSet, sizeof s->CurrentSet, "%s", CutToUnits(name, kNameChars).c_str());
}

void LookUpCollectionFile(const std::string& settingsFile, SaverSettings* s) {
  const std::string file = Profile(settingsFile.c_str()).String("Sets", s->CurrentSet);
  snprintf(s->CollectionFile, sizeof s->CollectionFile, "%s", file.c_str());
  CutCollectionDir(s);
}

}  // namespace

void ListCollections(const std::string& settingsFile, void (*add)(const char* name, void* context), void* context) {
  size_t used = 0;
  for (const IniLine& entry : Profile(settingsFile.c_str()).Text().Section("Sets")) {
    // As the system listed them, "name=value" and a NUL each in 8 KiB of
    // which it kept two: a list that reached them was taken as cut.
    used += Utf16Length(entry.name) + (entry.hasValue ? 1 + Utf16Length(entry.value) : 0) + 1;
    if (used >= kCatalogueSize - 2) break;
    add(CutToUnits(entry.name, kNameChars).c_str(), context);
  }
}

void ResolveCurrentCollection(const std::string& settingsFile, SaverSettings* settings) {
  LookUpCollectionFile(settingsFile, settings);
  settings->PictureCount = 0;
  if (settings->CollectionFile[0] == '\0') return;
  CollectionIndex index;
  index.Refresh(CollectionPath(*settings));
  settings->PictureCount = index.Count();
}

void SelectCollection(const std::string& settingsFile, SaverSettings* settings, const char* name) {
  if (strcmp(name, settings->CurrentSet) == 0) return;
  SetCurrentName(settings, name);
  LookUpCollectionFile(settingsFile, settings);
}

void UseCollection(SaverSettings* settings, const char* name, const char* file) {
  SetCurrentName(settings, name);
  snprintf(settings->CollectionFile, sizeof settings->CollectionFile, "%s", file);
  CutCollectionDir(settings);
}

std::string CollectionPath(const SaverSettings& settings) {
  return settings.CollectionFile[0] ? ProfilePath(settings.CollectionFile) : std::string();
}

void CutAtLastBackslash(char* path) {
  char* last = strrchr(path, '\\');
  if (last) *last = '\0';
}

void ConvertLineBreaks(char* text) {
  // Searching again from the start after every pair means "\\n" turns into
  // a backslash and a line break: a doubled backslash protects nothing.
  for (char* p = strstr(text, "\\n"); p; p = strstr(text, "\\n")) {
    p[0] = '\r';
    p[1] = '\n';
  }
}

BOOL LookUpPicturePath(const CollectionIndex& index, const std::string& dir, int number, std::string* path) {
  *path = PicturePathFor(dir, index.Value(CollectionIndex::kPictures, number));
  if (Utf16Length(*path) <= kPathChars) return TRUE;
  path->clear();
  return FALSE;
}

std::string WallpaperPath(const SaverSettings& settings, CollectionIndex* index) {
  std::string path;
  index->Refresh(CollectionPath(settings));
  LookUpPicturePath(*index, settings.CollectionDir, settings.CurrentPicture, &path);
  return path;
}

std::string LookUpTitle(const CollectionIndex& index, int number) {
  char title[kValueSize];
  snprintf(title, sizeof title, "%s", index.Value(CollectionIndex::kTitles, number).c_str());
  ConvertLineBreaks(title);
  return title;
}
