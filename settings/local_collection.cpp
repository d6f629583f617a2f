#include "settings/local_collection.h"

#include <algorithm>
#include <cstring>

#include "settings/folder_collection.h"
#include "settings/profile.h"
#include "text/utf.h"

namespace {

const char kExtension[] = ".INI";
enum { kMaxCollectionPath = 254 };

// A folder's name may hold what a key may not, and a drive's "C:" what a
// file name may not.
std::string FileSafe(std::string name) {
  for (char& c : name)
    if (static_cast<unsigned char>(c) < ' ' || strchr("<>:\"/\\|?*", c)) c = '_';
  return name;
}

// Names match as the file system matches them, without regard to case.
bool Taken(const char* name, void* files) {
  for (const LocalCollection& file : *static_cast<const std::vector<LocalCollection>*>(files))
    if (SameTextIgnoringCase(file.fileName, name + std::string(kExtension))) return true;
  return false;
}

}  // namespace

std::string FolderOfCollection(const char* path) { return Profile(path).String("Properties", kFolderKey); }

std::string LocalCollectionFileName(const std::string& folder, const std::vector<LocalCollection>& files,
                                    size_t dirLength, bool* madeBefore) {
  *madeBefore = false;
  const size_t room = kMaxCollectionPath - std::min<size_t>(dirLength + 1, kMaxCollectionPath);
  for (const LocalCollection& file : files)
    if (SameTextIgnoringCase(file.folder, folder) && Utf16Length(file.fileName) <= room) {
      *madeBefore = true;
      return file.fileName;
    }
  // Room for a name with its number, " (99999)", at least.
  const size_t extension = sizeof kExtension - 1;
  if (room < extension + 9) return "";
  return UniqueCollectionName(FileSafe(CollectionNameFor(folder)), &Taken,
                              const_cast<std::vector<LocalCollection>*>(&files), room - extension) +
         kExtension;
}
