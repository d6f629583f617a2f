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
  const size_t slash = wide.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? L"." : wide.substr(0, slash);
  wchar_t temporary[MAX_PATH];
  if (!GetTempFileNameW(folder.c_str(), L"lum", 0, temporary)) return false;
  bool written = false;
  {
    FileHandle file(CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD done = 0;
    written = file.get() != INVALID_HANDLE_VALUE &&
              WriteFile(file.get(), bytes.data(), DWORD(bytes.size()), &done, nullptr) && done == bytes.size();
  }
  if (written && MoveFileExW(temporary, wide.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
  DeleteFileW(temporary);
  return false;
}
