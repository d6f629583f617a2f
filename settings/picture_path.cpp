#include "settings/picture_path.h"

namespace {
bool IsSlash(char c) { return c == '\\' || c == '/'; }
bool IsLetter(char c) {
  const char lower = char(c | 0x20);
  return lower >= 'a' && lower <= 'z';
}
}  // namespace

// "C:a.jpg" and "\a.jpg" are joined, as older versions join them, so that
// both read a file alike. Taken as it stands, the first would depend on the
// drive's current directory, which is whatever started the saver; joined,
// the second names the file in the collection's folder (the system reads a
// doubled backslash as one).
bool IsFullPath(const std::string& entry) {
  // A string's [size()] is its '\0', which ends each test in time.
  return (IsSlash(entry[0]) && IsSlash(entry[1])) || (IsLetter(entry[0]) && entry[1] == ':' && IsSlash(entry[2]));
}

std::string PicturePathFor(const std::string& collectionDir, const std::string& entry) {
  return IsFullPath(entry) ? entry : collectionDir + "\\" + entry;
}
