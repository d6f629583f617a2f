#include "settings/folder_files.h"

#include <windows.h>

#include <vector>

#include "settings/folder_collection.h"

namespace {

const DWORD kInvalidCharsFail = 0x80;  // WC_ERR_INVALID_CHARS, from Vista on

// The name in the ANSI code page, which the profile functions and the
// loader see: FALSE when some character has no exact form there (a
// best-fit stand-in would name another file). Where the code page is
// UTF-8 every name has a form, and the system takes no default character.
bool ToAnsi(const wchar_t* text, std::string* ansi) {
  const bool utf8 = GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? kInvalidCharsFail : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* used = utf8 ? nullptr : &usedDefault;
  const int size = WideCharToMultiByte(CP_ACP, flags, text, -1, nullptr, 0, nullptr, used);
  if (size <= 0) return false;
  std::vector<char> buffer(size);
  if (!WideCharToMultiByte(CP_ACP, flags, text, -1, buffer.data(), size, nullptr, used)) return false;
  ansi->assign(buffer.data());
  return !usedDefault;
}

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
    file.ansiExact = ToAnsi(data.cFileName, &file.ansi);
    files->push_back(std::move(file));
  } while (FindNextFileW(find.get(), &data));
  return GetLastError() == ERROR_NO_MORE_FILES;
}

// The text goes to a new file in the folder, which then takes the old
// file's place in one step: a reader sees the old file or the new one,
// never part of either.
bool WriteWhole(const std::string& folder, const std::string& path, const std::string& text) {
  char temporary[MAX_PATH];
  if (!GetTempFileNameA(folder.c_str(), "lum", 0, temporary)) return false;
  HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  bool written = false;
  if (file != INVALID_HANDLE_VALUE) {
    DWORD done = 0;
    written = WriteFile(file, text.data(), DWORD(text.size()), &done, nullptr) && done == text.size();
    written = CloseHandle(file) && written;
  }
  if (written && MoveFileExA(temporary, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
  DeleteFileA(temporary);
  return false;
}

}  // namespace

FolderOutcome MakeFolderCollection(const wchar_t* folder) {
  FolderOutcome outcome = {kFolderNotReadable, 0, 0, 0, "", ""};
  std::wstring wide(folder);
  while (!wide.empty() && (wide.back() == L'\\' || wide.back() == L'/')) wide.pop_back();

  std::vector<FolderFile> files;
  if (!ListFiles(wide, &files)) return outcome;
  for (const FolderFile& file : files) outcome.pictures += IsPictureName(file.name) ? 1 : 0;

  std::string path;
  if (!ToAnsi(wide.c_str(), &path)) {
    outcome.result = kFolderPathNotAnsi;
    return outcome;
  }
  if (path.size() > kMaxFolderPath) {
    outcome.result = kFolderPathTooLong;
    return outcome;
  }
  outcome.name = CollectionNameFor(path);
  outcome.collectionFile = path + "\\" + kFolderCollectionFile;

  std::vector<CollectionEntry> previous;
  const DWORD existing = GetFileAttributesA(outcome.collectionFile.c_str());
  if (existing != INVALID_FILE_ATTRIBUTES) {
    // Windows refuses to replace a read-only file; Wine's rename would not,
    // so the refusal is made here, the same on both.
    if (existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) {
      outcome.result = kFolderNotWritable;
      return outcome;
    }
    if (!ReadCollectionEntries(outcome.collectionFile.c_str(), &previous)) return outcome;
  }
  const FolderCollection plan = PlanFolderCollection(path.size(), std::move(files), previous);
  outcome.leftOutLong = plan.leftOutLong;
  outcome.leftOutNames = plan.leftOutNames;
  if (plan.pictures.empty()) {
    outcome.result = kFolderNoPictures;
    return outcome;
  }
  if (!WriteWhole(path, outcome.collectionFile, CollectionText(plan.pictures))) {
    outcome.result = kFolderNotWritable;
    return outcome;
  }
  outcome.pictures = int(plan.pictures.size());
  outcome.result = kFolderWritten;
  return outcome;
}
