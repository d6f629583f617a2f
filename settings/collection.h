// The catalogue of collections (section Sets of LUMARO.INI), the current
// collection in the settings record, and the look-ups made in a collection
// file.
#pragma once

#include <string>

#include "platform/win.h"
#include "settings/collection_index.h"
#include "settings/saver_settings.h"

enum { kCatalogueSize = 8192 };

// Calls add(name, context) for every catalogue entry of the settings file
// at `settingsFile`, in file order. Names are cut at 255 characters so that
// they fit every name buffer. As the system's list was read into 8 KiB of
// characters, an entry that would end past them is left out.
void ListCollections(const std::string& settingsFile, void (*add)(const char* name, void* context), void* context);

// CollectionFile, CollectionDir and PictureCount from CurrentSet.
void ResolveCurrentCollection(const std::string& settingsFile, SaverSettings* settings);

// Makes the named collection current; nothing happens when it already is.
// PictureCount is left as it is and nothing is written.
void SelectCollection(const std::string& settingsFile, SaverSettings* settings, const char* name);

// Makes `name` current with the collection file `file` (at most 254
// characters, in kValueSize bytes), whatever was current: for a collection
// not yet in Sets. No file is read.
void UseCollection(SaverSettings* settings, const char* name, const char* file);

// The path of the collection file the record names, as the system's
// profile functions place a bare name; empty when it names none.
std::string CollectionPath(const SaverSettings& settings);

// Cuts a path at its last backslash, in place; no backslash cuts nothing.
void CutAtLastBackslash(char* path);

// Turns every backslash-n pair into CR LF, in place, keeping the length.
void ConvertLineBreaks(char* text);

// The file name of picture `number` in the indexed collection, joined to
// its folder `dir` as PicturePathFor joins it. FALSE, with an empty path, when the joined
// path is longer than kPathChars characters.
BOOL LookUpPicturePath(const CollectionIndex& index, const std::string& dir, int number, std::string* path);

// The path of the current collection's CurrentPicture, for the wallpaper,
// read through `index`; empty when the joined path would not fit.
std::string WallpaperPath(const SaverSettings& settings, CollectionIndex* index);

// The title of picture `number`, with its line-break escapes converted,
// cut to fit kValueSize bytes.
std::string LookUpTitle(const CollectionIndex& index, int number);
