#include <windows.h>

#include <vector>

#include "text/ansi.h"
#include "text/utf.h"

namespace {
const DWORD kInvalidCharsFail = 0x80;  // WC_ERR_INVALID_CHARS, from Vista on
}

std::string AnsiToUtf8(const std::string& ansi) {
  if (ansi.empty()) return std::string();
  const int size = MultiByteToWideChar(CP_ACP, 0, ansi.data(), int(ansi.size()), nullptr, 0);
  if (size <= 0) return std::string();
  std::vector<wchar_t> wide(size);
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), int(ansi.size()), wide.data(), size);
  return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

// Where the code page is UTF-8 every character has a form, and the system
// takes no default character.
bool Utf8ToAnsi(const std::string& utf8, std::string* ansi) {
  ansi->clear();
  if (utf8.empty()) return true;
  const std::wstring wide = Wide(utf8);
  const bool utf8Page = GetACP() == CP_UTF8;
  const DWORD flags = utf8Page ? kInvalidCharsFail : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* used = utf8Page ? nullptr : &usedDefault;
  const int size = WideCharToMultiByte(CP_ACP, flags, wide.data(), int(wide.size()), nullptr, 0, nullptr, used);
  if (size <= 0) return false;
  ansi->resize(size);
  if (!WideCharToMultiByte(CP_ACP, flags, wide.data(), int(wide.size()), &(*ansi)[0], size, nullptr, used)) return false;
  return !usedDefault;
}
