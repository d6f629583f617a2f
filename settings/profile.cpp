#include "settings/profile.h"

#include <cstring>

#include "platform/win.h"
#include "text/ansi.h"
#include "text/named_file.h"
#include "text/text_file.h"
#include "text/utf.h"

#ifndef _WIN32
#include "platform/native_hooks.h"
#endif

namespace {

std::string ReadText(const std::string& path, bool* loaded) {
  std::string bytes;
  *loaded = ReadNamedFile(path, &bytes, kMaxProfileBytes);
  return *loaded ? DecodeTextFile(bytes).text : std::string();
}

}  // namespace

std::string ProfilePath(const char* file) {
  if (strpbrk(file, "\\/")) return file;
#ifdef _WIN32
  wchar_t windows[MAX_PATH] = L"";
  GetWindowsDirectoryW(windows, MAX_PATH);
  return Narrow(windows) + "\\" + file;
#else
  return NativeProfileDirectory() + "/" + file;
#endif
}

Profile::Profile(const char* file) : m_loaded(false), m_text(ReadText(ProfilePath(file), &m_loaded)) {}

std::string Profile::String(const char* section, const char* key, const char* def) const {
  std::string value;
  if (!m_text.Find(section, key, &value)) {
    // The default loses trailing blanks, as it does on Windows.
    value = def;
    while (!value.empty() && strchr(" \t\r\n", value.back())) value.pop_back();
  }
  return CutToUnits(value, kMaxValueUnits);
}

int Profile::Int(const char* section, const char* key, int def) const { return IniInt(String(section, key), def); }

int IniInt(const std::string& value, int def) {
  // Windows reads the value into 30 characters and converts it like
  // RtlUnicodeStringToInteger with base 0.
  const std::string text = CutToUnits(value, 29);
  if (text.empty()) return def;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text.c_str());
  while (*p && *p <= ' ') ++p;
  bool minus = false;
  if (*p == '+' || *p == '-') minus = *p++ == '-';
  unsigned base = 10;
  if (p[0] == '0' && (p[1] == 'x' || p[1] == 'o' || p[1] == 'b')) {
    base = p[1] == 'x' ? 16 : p[1] == 'o' ? 8 : 2;
    p += 2;
  }
  unsigned total = 0;
  for (;; ++p) {
    unsigned digit;
    if (*p >= '0' && *p <= '9') digit = *p - '0';
    else if (*p >= 'a' && *p <= 'z') digit = *p - 'a' + 10;
    else if (*p >= 'A' && *p <= 'Z') digit = *p - 'A' + 10;
    else break;
    if (digit >= base) break;
    total = total * base + digit;
  }
  return static_cast<int>(minus ? 0u - total : total);
}

bool WriteProfileValues(const std::string& path, const std::vector<IniChange>& changes) {
  std::string bytes;
  if (!ReadNamedFile(path, &bytes, kMaxProfileBytes)) return false;
  DecodedText text = DecodeTextFile(bytes);
  for (const IniChange& change : changes) EditIniText(&text.text, change);
  // Windows' functions cannot read UTF-8: it goes to the code page when
  // everything fits there, else to UTF-16, as does a code-page file that
  // must now hold a name outside it.
  std::string ansi;
  const bool toAnsi = text.encoding != TextEncoding::kUtf16 && Utf8ToAnsi(text.text, &ansi);
  return ReplaceNamedFile(path, toAnsi ? ansi : Utf16FileBytes(text.text));
}

bool WriteProfileValue(const char* file, const char* section, const char* key, const char* value) {
  return WriteProfileValues(ProfilePath(file), {{section, key, value}});
}
