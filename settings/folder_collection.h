// Collections made from a folder: which files are pictures, the order and
// titles they get, how the folder's earlier collection file is brought up
// to date, the text written, and the name the catalogue lists it under.
#pragma once

#include <string>
#include <vector>

extern const char kFolderCollectionFile[];  // "COLLECTION.INI"
extern const char kFolderKey[];             // "Folder" in Properties, of a file kept away

enum {
  kMaxPicturePath = 255,  // directory, backslash and file name, as looked up
  // The folder's own path, so that "\COLLECTION.INI" after it still fits
  // the 254 characters a collection file's path may have.
  kMaxFolderPath = 254 - 15,
};

// A file of the folder or of a subfolder, as the system lists it.
struct FolderFile {
  std::wstring name;  // its own name: the order is taken from this
  std::string utf8;   // its path from the folder, as it is written
};

// One picture of a collection file, as written there.
struct CollectionEntry {
  std::string file;
  std::string title;
};

struct FolderCollection {
  std::vector<CollectionEntry> pictures;  // numbered from 1 in this order
  int leftOutLong;  // pictures whose joined path would be too long
};

// The title a folder's collection gives a picture: its file's name without
// the extension.
std::string TitleFromName(const std::string& path);

// BMP, JPEG, PNG, GIF and TIFF files, by their extension in any case.
bool IsPictureName(const std::wstring& name);

// The collection for a folder whose path has `folderLength` characters
// (UTF-16 units, as every length here), from its files in groups as
// ListFolderTree gives them, each file named by its path from the folder.
// Pictures already in `previous` stay in its order with their titles; the
// folder's other pictures follow, group by group, each group in name order,
// titled with their names without the extension; files gone from the
// folder are dropped. An entry the listing could not have found (in a
// subfolder when `subfolders` is off, outside the folder, or named with a
// drive) stays as it is. A collection kept away from the folder names each
// picture by its full path: `prefix` is then the folder and a backslash,
// which its entries start with and new ones get.
FolderCollection PlanFolderCollection(size_t folderLength, std::vector<std::vector<FolderFile>> groups,
                                      const std::vector<CollectionEntry>& previous, bool subfolders,
                                      const std::string& prefix = "");

// The collection file's whole text, in UTF-8: Properties, Pictures and
// Titles; Properties names `folder` when the file is kept away from it.
std::string CollectionText(const std::vector<CollectionEntry>& pictures, const std::string& folder = "");

// The pictures of an existing collection file, 1 to its Count, as the
// slideshow would read them. FALSE when the file is too large to take in.
bool ReadCollectionEntries(const char* path, std::vector<CollectionEntry>* entries);

// The catalogue name a folder suggests: its last part, made safe as an INI
// key ("=" becomes "-", a leading ";" or "[" becomes "_"), at most 255
// characters. "Pictures" when nothing is left.
std::string CollectionNameFor(const std::string& folder);

// `base`, or "base (2)", "base (3)" and so on: the first that `taken` does
// not know, cut to `most` characters (at least 8, for the number).
std::string UniqueCollectionName(const std::string& base, bool (*taken)(const char* name, void* context),
                                 void* context, size_t most = 255);
