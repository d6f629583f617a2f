#include "settings/folder_files.h"

#include <windows.h>

#include <cwchar>
#include <vector>

#include "settings/folder_collection.h"
#include "settings/local_collection.h"
#include "settings/picture_path.h"
#include "text/ansi.h"
#include "text/named_file.h"
#include "text/text_file.h"
#include "text/utf.h"

namespace {

class FindHandle {
 public:
  explicit FindHandle(HANDLE handle) : m_handle(handle) {}
  ~FindHandle() {
    if (m_handle != INVALID_HANDLE_VALUE) FindClose(m_handle);
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  HANDLE get() const { return m_handle; }

 private:
  HANDLE m_handle;
};

bool WriteCollection(const std::string& file, const std::vector<CollectionEntry>& pictures, const std::string& folder) {
  const std::string text = CollectionText(pictures, folder);
  std::string bytes;
  if (!Utf8ToAnsi(text, &bytes)) bytes = Utf16FileBytes(text);
  return ReplaceNamedFile(file, bytes);
}

}  // namespace

bool ListFolder(const std::wstring& folder, std::vector<FolderEntry>* entries) {
  WIN32_FIND_DATAW data;
  FindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &data));
  if (find.get() == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
  do {
    if (wcscmp(data.cFileName, L".") == 0 || wcscmp(data.cFileName, L"..") == 0) continue;
    const DWORD a = data.dwFileAttributes;
    // Hidden or system: such as the "._" twins another system leaves beside each picture.
    entries->push_back({data.cFileName, Narrow(data.cFileName), (a & FILE_ATTRIBUTE_DIRECTORY) != 0,
                        (a & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0,
                        (a & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
  } while (FindNextFileW(find.get(), &data));
  return GetLastError() == ERROR_NO_MORE_FILES;
}

FolderOutcome MakeFolderCollection(const wchar_t* folder, bool subfolders, FolderProgress* progress) {
  FolderOutcome outcome = {kFolderNotReadable, 0, 0, "", ""};
  std::wstring wide(folder);
  while (!wide.empty() && (wide.back() == L'\\' || wide.back() == L'/')) wide.pop_back();

  std::vector<std::vector<FolderFile>> groups;
  if (!ListFolderTree(wide, subfolders, &ListFolder, progress, &groups)) {
    if (progress->Cancelled()) outcome.result = kFolderCancelled;
    return outcome;
  }
  outcome.pictures = progress->pictures;

  const std::string path = Narrow(wide.c_str());
  if (wide.size() > kMaxFolderPath) {
    outcome.result = kFolderPathTooLong;
    return outcome;
  }
  outcome.name = CollectionNameFor(path);
  const std::string inFolder = path + "\\" + kFolderCollectionFile;
  // A folder whose collection is kept locally keeps it there even once it
  // can be written: the catalogue lists that file, and one in the folder
  // would come as a second collection of the same pictures.
  std::string local;
  bool madeBefore = false;
  const bool haveLocal = LocalCollectionFile(path, &local, &madeBefore), kept = haveLocal && madeBefore;
  outcome.collectionFile = kept ? local : inFolder;

  std::vector<CollectionEntry> previous;
  if (!ReadCollectionEntries(outcome.collectionFile.c_str(), &previous)) return outcome;
  FolderCollection plan =
      PlanFolderCollection(wide.size(), std::move(groups), previous, subfolders, kept ? path + "\\" : "");
  outcome.leftOutLong = plan.leftOutLong;
  if (plan.pictures.empty()) {
    outcome.result = kFolderNoPictures;
    return outcome;
  }
  if (!progress->Commit()) {
    outcome.result = kFolderCancelled;
    return outcome;
  }
  bool written = !kept && WriteCollection(inFolder, plan.pictures, "");
  if (!written && haveLocal) {
    // The folder's own file, read-only, still gives the order and titles.
    if (!kept)
      for (CollectionEntry& picture : plan.pictures) picture.file = PicturePathFor(path, picture.file);
    outcome.collectionFile = local;
    written = MakeLocalCollectionFolders(local) && WriteCollection(local, plan.pictures, path);
  }
  if (!written) {
    outcome.result = kFolderNotWritable;
    return outcome;
  }
  outcome.pictures = int(plan.pictures.size());
  outcome.result = kFolderWritten;
  return outcome;
}
