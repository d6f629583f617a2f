#include <windows.h>

#include "settings/folder_files.h"
#include "settings/local_collection.h"
#include "settings/settings_place.h"
#include "text/named_file.h"
#include "text/utf.h"

bool LocalCollectionFile(const std::string& folder, std::string* file, bool* madeBefore) {
  const std::string local = UserFolder(kLocalAppData);
  if (local.empty()) return false;
  const std::string dir = local + "\\Lumaro\\Collections";
  // Not made yet, the place lists nothing.
  std::vector<FolderEntry> entries;
  if (GetFileAttributesW(Wide(dir).c_str()) != INVALID_FILE_ATTRIBUTES && !ListFolder(Wide(dir), &entries))
    return false;
  std::vector<LocalCollection> files;
  for (const FolderEntry& entry : entries) {
    const size_t dot = entry.utf8.rfind('.');
    if (!entry.folder && dot != std::string::npos && SameTextIgnoringCase(entry.utf8.substr(dot), ".INI"))
      files.push_back({entry.utf8, FolderOfCollection((dir + "\\" + entry.utf8).c_str())});
  }
  const std::string name = LocalCollectionFileName(folder, files, Utf16Length(dir), madeBefore);
  *file = dir + "\\" + name;
  return !name.empty();
}

bool MakeLocalCollectionFolders(const std::string& file) { return MakeNamedFolder(file.substr(0, file.rfind('\\'))); }
