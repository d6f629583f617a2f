#include "settings/collection.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "settings/saver_settings.h"

namespace {

// A value from the current collection file; empty when there is none, so
// that an empty CollectionFile is never handed to the profile functions as
// a file name.
void ReadCollectionString(const char* section, const char* key, char* out) {
  out[0] = '\0';
  if (theSettings.CollectionFile[0] == '\0') return;
  GetPrivateProfileStringA(section, key, "", out, kValueSize, theSettings.CollectionFile);
}

void CutCollectionDir() {
  snprintf(theSettings.CollectionDir, sizeof theSettings.CollectionDir, "%s", theSettings.CollectionFile);
  CutAtLastBackslash(theSettings.CollectionDir);
}

void LookUpCollectionFile() {
  GetPrivateProfileStringA("Sets", theSettings.CurrentSet, "", theSettings.CollectionFile, kValueSize,
                           kSettingsFile);
  CutCollectionDir();
}

}  // namespace

void ListCollections(void (*add)(const char* name, void* context), void* context) {
  char* list = static_cast<char*>(malloc(kCatalogueSize));
  if (!list) return;
  DWORD used = GetPrivateProfileSectionA("Sets", list, kCatalogueSize, kSettingsFile);
  // A list that did not fit comes back as size - 2 characters, its last
  // entry cut anywhere: that fragment is not a name and is left out.
  bool cut = used >= kCatalogueSize - 2;
  const char* end = list + kCatalogueSize;
  const char* entry = list;
  while (entry < end && *entry) {
    size_t len = strnlen(entry, end - entry);
    const char* next = entry + len + 1;
    if (cut && (next >= end || *next == '\0')) break;
    const char* eq = static_cast<const char*>(memchr(entry, '=', len));
    size_t nameLen = eq ? static_cast<size_t>(eq - entry) : len;
    char name[kNameSize];
    if (nameLen > kNameSize - 1) nameLen = kNameSize - 1;
    memcpy(name, entry, nameLen);
    name[nameLen] = '\0';
    add(name, context);
    entry = next;
  }
  free(list);
}

void ResolveCurrentCollection() {
  LookUpCollectionFile();
  theSettings.PictureCount = 0;
  if (theSettings.CollectionFile[0] != '\0')
    theSettings.PictureCount =
        static_cast<int>(GetPrivateProfileIntA("Properties", "Count", 0, theSettings.CollectionFile));
}

void SelectCollection(const char* name) {
  if (strcmp(name, theSettings.CurrentSet) == 0) return;
  snprintf(theSettings.CurrentSet, sizeof theSettings.CurrentSet, "%s", name);  // at most 255 characters
  LookUpCollectionFile();
}

void UseCollection(const char* name, const char* file) {
  snprintf(theSettings.CurrentSet, sizeof theSettings.CurrentSet, "%s", name);
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

BOOL LookUpPicturePath(const char* key, char* path, size_t size) {
  if (size == 0) return FALSE;
  char name[kValueSize];
  ReadCollectionString("Pictures", key, name);
  int n = snprintf(path, size, "%s\\%s", theSettings.CollectionDir, name);
  if (n < 0 || static_cast<size_t>(n) >= size) {
    path[0] = '\0';
    return FALSE;
  }
  return TRUE;
}

void LookUpTitle(const char* key, char* title) {
  ReadCollectionString("Titles", key, title);
  ConvertLineBreaks(title);
}
