#include <windows.h>

#include "text/named_file.h"
#include "text/utf.h"

namespace {
class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : m_handle(handle) {}
  ~FileHandle() {
    if (m_handle != INVALID_HANDLE_VALUE) CloseHandle(m_handle);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  HANDLE get() const { return m_handle; }

 private:
  HANDLE m_handle;
};
}  // namespace

FILE* OpenNamedFile(const char* path, const char* mode) { return _wfopen(Wide(path).c_str(), Wide(mode).c_str()); }

bool StampNamedFile(const std::string& path, FileStamp* stamp) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return false;
  stamp->size = uint64_t(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
  stamp->written = uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime;
  return true;
}

bool ReadNamedFile(const std::string& path, std::string* bytes, size_t limit) {
  bytes->clear();
  FileHandle file(CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  }
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size) || uint64_t(size.QuadPart) > limit) return false;
  // Read to the end rather than to the size: a pipe has none.
  char piece[65536];
  DWORD done = 0;
  BOOL ok;
  while ((ok = ReadFile(file.get(), piece, sizeof piece, &done, nullptr)) && done > 0) {
    if (bytes->size() + done > limit) return false;
    bytes->append(piece, done);
  }
  return ok || GetLastError() == ERROR_BROKEN_PIPE;
}

bool ReplaceNamedFile(const std::string& path, const std::string& bytes) {
  const std::wstring wide = Wide(path);
  // Windows refuses to replace a read-only file; Wine's rename would not, so
  // the refusal is made here, the same on both.
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  const size_t slash = wide.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? L"." : wide.substr(0, slash);
  wchar_t temporary[MAX_PATH];
  if (!GetTempFileNameW(folder.c_str(), L"lum", 0, temporary)) return false;
  bool written = false;
  {
    FileHandle file(CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD done = 0;
    written = file.get() != INVALID_HANDLE_VALUE &&
              WriteFile(file.get(), bytes.data(), DWORD(bytes.size()), &done, nullptr) && done == bytes.size() &&
              FlushFileBuffers(file.get());
  }
  if (written && MoveFileExW(temporary, wide.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
  const DWORD error = GetLastError();
  DeleteFileW(temporary);
  SetLastError(error);
  return false;
}

bool NamedFileExists(const std::string& path) {
  if (GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  const DWORD error = GetLastError();
  return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

bool MakeNamedFolder(const std::string& path) {
  const std::wstring wide = Wide(path);
  // Each folder from the top down: those that exist, and a share's server
  // and share names, refuse harmlessly.
  for (size_t i = wide.find_first_of(L"\\/", wide.compare(0, 2, L"\\\\") == 0 ? 2 : 0); i != std::wstring::npos;
       i = wide.find_first_of(L"\\/", i + 1))
    if (i > 0 && wide[i - 1] != L':') CreateDirectoryW(wide.substr(0, i).c_str(), nullptr);
  if (CreateDirectoryW(wide.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) return true;
  return false;
}

unsigned long NamedFileError() { return GetLastError(); }
