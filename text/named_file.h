// Files named in UTF-8, which Windows opens through its wide functions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

FILE* OpenNamedFile(const char* path, const char* mode);

// What tells one version of a file from another: its size and the time it
// was last written. FALSE when the file cannot be found or is no plain file.
struct FileStamp {
  uint64_t size = 0;
  uint64_t written = 0;
  bool operator==(const FileStamp& o) const { return size == o.size && written == o.written; }
};
bool StampNamedFile(const std::string& path, FileStamp* stamp);

// The whole file, at most `limit` bytes. A missing file reads as empty;
// FALSE when it exists but cannot be read, or is larger.
bool ReadNamedFile(const std::string& path, std::string* bytes, size_t limit);

// The bytes go to a new file in the same folder, flushed to the disk, which
// then takes the old file's place in one step: a reader, a killed process or
// a power cut leaves the old file or the new one, never part of either. On
// failure the old file stays and the new one goes.
bool ReplaceNamedFile(const std::string& path, const std::string& bytes);

// FALSE only when the system answers that there is no such file or folder:
// one it cannot reach or read still counts as there.
bool NamedFileExists(const std::string& path);

// The folder and those it lies in, made where missing. FALSE when it is not
// there afterwards.
bool MakeNamedFolder(const std::string& path);

// Why the last of these calls to fail on this thread failed: the system's
// error code (errno natively), for a message to name.
unsigned long NamedFileError();
