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

// A null text fits, and stays null.
bool Fits(const char* text, std::string* ansi, const char** out) {
  *out = nullptr;
  if (!text) return true;
  if (!Utf8ToAnsi(text, ansi)) return false;
  *out = ansi->c_str();
  return true;
}

const WCHAR* WideOrNull(const char* text, std::u16string* wide) {
  if (!text) return nullptr;
  *wide = Utf8ToUtf16(text);
  return reinterpret_cast<const WCHAR*>(wide->c_str());
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

bool WriteProfileValue(const char* file, const char* section, const char* key, const char* value) {
  const std::string path = ProfilePath(file);
  std::string bytes;
  if (!ReadNamedFile(path, &bytes, kMaxProfileBytes)) return false;
  const DecodedText now = DecodeTextFile(bytes);
  std::string s, k, v, f, whole;
  const char *ansiSection, *ansiKey, *ansiValue, *ansiFile;
  const bool fits = Fits(section, &s, &ansiSection) && Fits(key, &k, &ansiKey) && Fits(value, &v, &ansiValue) &&
                    Fits(file, &f, &ansiFile);
  if (now.encoding == TextEncoding::kUtf8) {
    // Windows' functions cannot read UTF-8: it goes to the code page when
    // everything fits there, else to UTF-16.
    const bool toAnsi = fits && Utf8ToAnsi(now.text, &whole);
    if (!ReplaceNamedFile(path, toAnsi ? whole : Utf16FileBytes(now.text))) return false;
    if (toAnsi) return WritePrivateProfileStringA(ansiSection, ansiKey, ansiValue, ansiFile) != FALSE;
  } else if (now.encoding == TextEncoding::kAnsi) {
    if (fits) return WritePrivateProfileStringA(ansiSection, ansiKey, ansiValue, ansiFile) != FALSE;
    if (!ReplaceNamedFile(path, Utf16FileBytes(now.text))) return false;
  }
  std::u16string ws, wk, wv, wf;
  return WritePrivateProfileStringW(WideOrNull(section, &ws), WideOrNull(key, &wk), WideOrNull(value, &wv),
                                    WideOrNull(file, &wf)) != FALSE;
}
