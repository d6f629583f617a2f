#include "settings/folder_files.h"

#include <windows.h>

#include <vector>

#include "settings/folder_collection.h"
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

// The folder's files as Explorer shows them: not its subfolders, nor
// hidden or system files (such as the "._" twins another system leaves
// beside each picture). FALSE when the folder cannot be listed.
bool ListFiles(const std::wstring& folder, std::vector<FolderFile>* files) {
  WIN32_FIND_DATAW data;
  FindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &data));
  if (find.get() == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
  do {
    if (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
    FolderFile file;
    file.name = data.cFileName;
    file.utf8 = Narrow(data.cFileName);
    files->push_back(std::move(file));
  } while (FindNextFileW(find.get(), &data));
  return GetLastError() == ERROR_NO_MORE_FILES;
}

}  // namespace

FolderOutcome MakeFolderCollection(const wchar_t* folder) {
  FolderOutcome outcome = {kFolderNotReadable, 0, 0, "", ""};
  std::wstring wide(folder);
  while (!wide.empty() && (wide.back() == L'\\' || wide.back() == L'/')) wide.pop_back();

  std::vector<FolderFile> files;
  if (!ListFiles(wide, &files)) return outcome;
  for (const FolderFile& file : files) outcome.pictures += IsPictureName(file.name) ? 1 : 0;

  const std::string path = Narrow(wide.c_str());
  if (wide.size() > kMaxFolderPath) {
    outcome.result = kFolderPathTooLong;
    return outcome;
  }
  outcome.name = CollectionNameFor(path);
  outcome.collectionFile = path + "\\" + kFolderCollectionFile;

  std::vector<CollectionEntry> previous;
  const DWORD existing = GetFileAttributesW(Wide(outcome.collectionFile).c_str());
  if (existing != INVALID_FILE_ATTRIBUTES) {
    // Windows refuses to replace a read-only file; Wine's rename would not,
    // so the refusal is made here, the same on both.
    if (existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) {
      outcome.result = kFolderNotWritable;
      return outcome;
    }
    if (!ReadCollectionEntries(outcome.collectionFile.c_str(), &previous)) return outcome;
  }
  const FolderCollection plan = PlanFolderCollection(wide.size(), std::move(files), previous);
  outcome.leftOutLong = plan.leftOutLong;
  if (plan.pictures.empty()) {
    outcome.result = kFolderNoPictures;
    return outcome;
  }
  const std::string text = CollectionText(plan.pictures);
  std::string bytes;
  if (!Utf8ToAnsi(text, &bytes)) bytes = Utf16FileBytes(text);
  if (!ReplaceNamedFile(outcome.collectionFile, bytes)) {
    outcome.result = kFolderNotWritable;
    return outcome;
  }
  outcome.pictures = int(plan.pictures.size());
  outcome.result = kFolderWritten;
  return outcome;
}
