// The catalogue of collections (section Sets of LUMARO.INI) and the lookups
// made in a collection file.
#pragma once

#include <string>

#include "platform/win.h"

enum { kCatalogueSize = 8192 };

// Calls add(name, context) for every catalogue entry, in file order. Names
// are cut at 255 characters so that they fit every name buffer. As the
// system's list was read into 8 KiB of characters, an entry that would end
// past them is left out.
void ListCollections(void (*add)(const char* name, void* context), void* context);

// CollectionFile, CollectionDir and PictureCount from CurrentSet.
void ResolveCurrentCollection();

// Makes the named collection current; nothing happens when it already is.
// PictureCount is left as it is and nothing is written.
void SelectCollection(const char* name);

// Makes `name` current with the collection file `file` (at most 254
// characters, in kValueSize bytes), whatever was current: for a collection
// not yet in Sets.
void UseCollection(const char* name, const char* file);

// Cuts a path at its last backslash, in place; no backslash cuts nothing.
void CutAtLastBackslash(char* path);

// Turns every backslash-n pair into CR LF, in place, keeping the length.
void ConvertLineBreaks(char* text);

// The file name of picture `key` in the current collection, joined to
// CollectionDir as "dir\name". FALSE, with an empty path, when the joined
// path is longer than kPathChars characters.
BOOL LookUpPicturePath(const char* key, std::string* path);

// The title of picture `key`, read into `title` (at least kValueSize bytes)
// with its line-break escapes converted.
void LookUpTitle(const char* key, char* title);
