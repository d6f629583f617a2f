#include "settings/collection.h"

#include <cstdio>
#include <cstring>

#include "settings/collection_index.h"
#include "settings/profile.h"
#include "settings/saver_settings.h"
#include "text/utf.h"

namespace {

// The current collection file, indexed once for every look-up in it; an
// empty CollectionFile names no file.
CollectionIndex theIndex;

// Read anew whenever a collection is made current.
const CollectionIndex& CurrentIndex() {
  theIndex.Refresh(theSettings.CollectionFile[0] ? ProfilePath(theSettings.CollectionFile) : std::string());
  return theIndex;
}

void CutCollectionDir() {
  theIndex.Forget();
  snprintf(theSettings.CollectionDir, sizeof theSettings.CollectionDir, "%s", theSettings.CollectionFile);
  CutAtLastBackslash(theSettings.CollectionDir);
}

void SetCurrentName(const char* name) {
  snprintf(theSettings.CurrentSet, sizeof theSettings.CurrentSet, "%s", CutToUnits(name, kNameChars).c_str());
}

void LookUpCollectionFile() {
  const std::string file = Profile(kSettingsFile).String("Sets", theSettings.CurrentSet);
  snprintf(theSettings.CollectionFile, sizeof theSettings.CollectionFile, "%s", file.c_str());
  CutCollectionDir();
}

}  // namespace

void ListCollections(void (*add)(const char* name, void* context), void* context) {
  size_t used = 0;
  for (const IniLine& entry : Profile(kSettingsFile).Text().Section("Sets")) {
    // As the system listed them, "name=value" and a NUL each in 8 KiB of
    // which it kept two: a list that reached them was taken as cut.
    used += Utf16Length(entry.name) + (entry.hasValue ? 1 + Utf16Length(entry.value) : 0) + 1;
    if (used >= kCatalogueSize - 2) break;
    add(CutToUnits(entry.name, kNameChars).c_str(), context);
  }
}

void ResolveCurrentCollection() {
  LookUpCollectionFile();
  theSettings.PictureCount = 0;
  if (theSettings.CollectionFile[0] != '\0')
    theSettings.PictureCount = CurrentIndex().Count();
}

void SelectCollection(const char* name) {
  if (strcmp(name, theSettings.CurrentSet) == 0) return;
  SetCurrentName(name);
  LookUpCollectionFile();
}

void UseCollection(const char* name, const char* file) {
  SetCurrentName(name);
  snprintf(theSettings.CollectionFile, sizeof theSettings.CollectionFile, "%s", file);
  CutCollectionDir();
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

BOOL LookUpPicturePath(const char* key, std::string* path) {
  *path = std::string(theSettings.CollectionDir) + "\\" + CurrentIndex().Value(CollectionIndex::kPictures, key);
  if (Utf16Length(*path) <= kPathChars) return TRUE;
  path->clear();
  return FALSE;
}

void LookUpTitle(const char* key, char* title) {
  snprintf(title, kValueSize, "%s", CurrentIndex().Value(CollectionIndex::kTitles, key).c_str());
  ConvertLineBreaks(title);
}
