#include "settings/folder_tree.h"

#include <algorithm>

#include "settings/name_order.h"

namespace {

struct Walk {
  bool subfolders;
  ListFolderFn list;
  FolderProgress* progress;
  std::vector<std::vector<FolderFile>>* groups;

  bool Folder(const std::wstring& path, const std::string& relative, int depth) {
    if (progress->Cancelled()) return false;
    std::vector<FolderEntry> entries;
    if (!list(path, &entries)) return depth > 0;
    ++progress->folders;
    std::vector<FolderFile> files;
    std::vector<const FolderEntry*> below;
    for (const FolderEntry& entry : entries) {
      if (entry.hidden) continue;
      if (!entry.folder) {
        progress->pictures += IsPictureName(entry.name) ? 1 : 0;
        files.push_back({entry.name, relative + entry.utf8});
      } else if (subfolders && !entry.link && depth < kMaxFolderDepth) {
        below.push_back(&entry);
      }
    }
    groups->push_back(std::move(files));
    std::sort(below.begin(), below.end(), [](const FolderEntry* a, const FolderEntry* b) {
      const int order = CompareNamesLogically(a->name.c_str(), b->name.c_str());
      return order != 0 ? order < 0 : a->name < b->name;
    });
    for (const FolderEntry* folder : below)
      if (!Folder(path + L"\\" + folder->name, relative + folder->utf8 + "\\", depth + 1)) return false;
    return true;
  }
};

}  // namespace

bool ListFolderTree(const std::wstring& root, bool subfolders, ListFolderFn list, FolderProgress* progress,
                    std::vector<std::vector<FolderFile>>* groups) {
  Walk walk = {subfolders, list, progress, groups};
  return walk.Folder(root, "", 0);
}
