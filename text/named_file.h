// Files named in UTF-8, which Windows opens through its wide functions.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

FILE* OpenNamedFile(const char* path, const char* mode);

// The whole file, at most `limit` bytes. A missing file reads as empty;
// FALSE when it exists but cannot be read, or is larger.
bool ReadNamedFile(const std::string& path, std::string* bytes, size_t limit);

// The bytes go to a new file in the same folder, which then takes the old
// file's place in one step: a reader sees the old file or the new one,
// never part of either. On failure the old file stays and the new one goes.
bool ReplaceNamedFile(const std::string& path, const std::string& bytes);
