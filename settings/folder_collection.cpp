#include "settings/folder_collection.h"

#include <algorithm>
#include <map>
#include <unordered_map>

#include "settings/name_order.h"
#include "settings/profile.h"
#include "text/utf.h"

const char kFolderCollectionFile[] = "COLLECTION.INI";
const char kFolderKey[] = "Folder";

namespace {

enum { kMaxName = 255 };

char FoldAscii(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c == '/' ? '\\' : c; }

// File names match without regard to case, as the file system matches them,
// and either slash separates folders.
std::string Folded(const std::string& name) {
  std::string folded(name);
  std::transform(folded.begin(), folded.end(), folded.begin(), FoldAscii);
  return folded;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trimmed(const std::string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

bool IsQuote(char c) { return c == '"' || c == '\''; }

// Blanks, and the other control characters some reader may trim.
bool MayBeTrimmed(char c) { return static_cast<unsigned char>(c) <= ' '; }

// The profile functions trim a value and take one pair of matching quotes
// off it: such a value is written inside quotes so that it reads back whole.
std::string ValueText(const std::string& value) {
  const bool changed =
      !value.empty() && (MayBeTrimmed(value.front()) || MayBeTrimmed(value.back()) ||
                         (value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front()));
  return changed ? '"' + value + '"' : value;
}

// A picture key as the slideshow forms it: "%d" of 1 to `count`.
bool PictureNumber(const std::string& key, int count, int* number) {
  if (key.empty() || key.size() > 9 || key[0] == '0') return false;
  int n = 0;
  for (char c : key) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + (c - '0');
  }
  if (n > count) return false;
  *number = n;
  return true;
}

// A section's entries by picture number; the first of a repeated key wins,
// as it does for the profile functions.
void ReadNumbered(const Profile& file, const char* section, int count, std::map<int, std::string>* values) {
  int n = 0;
  for (const IniLine& entry : file.Text().Section(section))
    if (entry.hasValue && PictureNumber(entry.name, count, &n)) values->emplace(n, UnquotedIniValue(entry.value));
}

// A path the listing gives: names without a drive, "." or "..", in a
// subfolder only when subfolders are listed.
bool Listable(const std::string& file, bool subfolders) {
  if (file.find(':') != std::string::npos) return false;
  size_t separators = 0;
  for (size_t start = 0;; ++separators) {
    const size_t end = file.find_first_of("\\/", start);
    const std::string part = file.substr(start, end - start);
    if (part.empty() || part == "." || part == "..") return false;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return subfolders || separators == 0;
}

// An entry's path from the folder, or "" (which no listing gives) when it
// does not start with `prefix`.
std::string FromFolder(const std::string& entry, const std::string& prefix) {
  return Folded(entry.substr(0, prefix.size())) == Folded(prefix) ? entry.substr(prefix.size()) : std::string();
}

}  // namespace

std::string TitleFromName(const std::string& path) {
  const std::string name = path.substr(path.find_last_of("\\/") + 1);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

bool IsPictureName(const std::wstring& name) {
  static const char* const kExtensions[] = {"bmp", "dib", "jpg", "jpeg", "jpe", "png", "gif", "tif", "tiff"};
  const size_t dot = name.rfind(L'.');
  if (dot == std::wstring::npos) return false;
  std::string extension;
  for (size_t i = dot + 1; i < name.size(); ++i) {
    const wchar_t c = name[i];
    if (c > 0x7F) return false;
    extension += char(c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c);
  }
  for (const char* known : kExtensions)
    if (extension == known) return true;
  return false;
}

FolderCollection PlanFolderCollection(size_t folderLength, std::vector<std::vector<FolderFile>> groups,
                                      const std::vector<CollectionEntry>& previous, bool subfolders,
                                      const std::string& prefix) {
  FolderCollection plan = {{}, 0};
  struct Found {
    FolderFile file;
    size_t group;
  };
  std::vector<Found> found;
  for (size_t g = 0; g < groups.size(); ++g)
    for (FolderFile& file : groups[g]) {
      if (!IsPictureName(file.name)) continue;
      if (folderLength + 1 + Utf16Length(file.utf8) > kMaxPicturePath)
        ++plan.leftOutLong;
      else
        found.push_back({std::move(file), g});
    }
  std::unordered_map<std::string, size_t> byName;
  for (size_t i = 0; i < found.size(); ++i) byName.emplace(Folded(found[i].file.utf8), i);
  std::vector<bool> kept(found.size(), false);
  for (const CollectionEntry& entry : previous) {
    const std::string file = FromFolder(entry.file, prefix);
    if (!Listable(file, subfolders)) {
      plan.pictures.push_back(entry);
      continue;
    }
    const auto at = byName.find(Folded(file));
    if (at == byName.end() || kept[at->second]) continue;
    kept[at->second] = true;
    plan.pictures.push_back(entry);
  }
  // Only the new pictures are ordered: the system's comparison is slow, and
  // an update usually adds few. Names it calls equal still get one order.
  std::vector<const Found*> added;
  for (size_t i = 0; i < found.size(); ++i)
    if (!kept[i]) added.push_back(&found[i]);
  std::stable_sort(added.begin(), added.end(), [](const Found* a, const Found* b) {
    if (a->group != b->group) return a->group < b->group;
    const int order = CompareNamesLogically(a->file.name.c_str(), b->file.name.c_str());
    return order != 0 ? order < 0 : a->file.name < b->file.name;
  });
  for (const Found* f : added) plan.pictures.push_back({prefix + f->file.utf8, TitleFromName(f->file.utf8)});
  return plan;
}

std::string CollectionText(const std::vector<CollectionEntry>& pictures, const std::string& folder) {
  std::string text = "[Properties]\r\nCount=" + std::to_string(pictures.size()) + "\r\n";
  if (!folder.empty()) text += std::string(kFolderKey) + "=" + ValueText(folder) + "\r\n";
  text += "\r\n[Pictures]\r\n";
  for (size_t i = 0; i < pictures.size(); ++i)
    text += std::to_string(i + 1) + "=" + ValueText(pictures[i].file) + "\r\n";
  text += "\r\n[Titles]\r\n";
  for (size_t i = 0; i < pictures.size(); ++i)
    if (!pictures[i].title.empty()) text += std::to_string(i + 1) + "=" + ValueText(pictures[i].title) + "\r\n";
  return text;
}

bool ReadCollectionEntries(const char* path, std::vector<CollectionEntry>* entries) {
  entries->clear();
  const Profile ini(path);
  const int count = ini.Int("Properties", "Count", 0);
  if (count <= 0) return ini.Loaded();
  std::map<int, std::string> files, titles;
  ReadNumbered(ini, "Pictures", count, &files);
  ReadNumbered(ini, "Titles", count, &titles);
  for (const auto& file : files)
    if (!file.second.empty()) entries->push_back({file.second, titles[file.first]});
  return true;
}

std::string CollectionNameFor(const std::string& folder) {
  std::string path = folder;
  while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  const size_t slash = path.find_last_of("\\/");
  std::string name = Trimmed(slash == std::string::npos ? path : path.substr(slash + 1));
  // A key holds no "=", and a line starting ";" or "[" is no key at all.
  std::replace(name.begin(), name.end(), '=', '-');
  if (!name.empty() && (name[0] == ';' || name[0] == '[')) name[0] = '_';
  name = CutToUnits(name, kMaxName);
  return name.empty() ? "Pictures" : name;
}

std::string UniqueCollectionName(const std::string& base, bool (*taken)(const char* name, void* context),
                                 void* context, size_t most) {
  std::string name = CutToUnits(base, most);
  for (int n = 2; taken(name.c_str(), context) && n < 100000; ++n) {
    const std::string suffix = " (" + std::to_string(n) + ")";
    name = CutToUnits(base, most - suffix.size()) + suffix;
  }
  return name;
}
