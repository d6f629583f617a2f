// Writing INI files without the Windows profile service. Results follow what
// Windows (and Wine) give for the same calls: names match without regard to
// case and are trimmed, a new key goes after its section's last line, a new
// section at the end, and the file keeps its encoding. Reading is the
// program's own (text/ini_text.h).
//
// A file is rewritten whole at every write, through a temporary file and a
// rename, so that no reader ever sees a half-written file. Other lines are
// kept as they were.

#include <sys/stat.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/native_hooks.h"
#include "platform/win.h"
#include "text/ansi.h"
#include "text/ini_text.h"
#include "text/named_file.h"
#include "text/text_file.h"
#include "text/utf.h"

namespace {

bool g_haveDirOverride = false;
std::string g_dirOverride;

void MakeDirectories(const std::string& dir) {
  for (size_t i = 1; i <= dir.size(); ++i) {
    if (i == dir.size() || dir[i] == '/') mkdir(dir.substr(0, i).c_str(), 0700);
  }
}

std::string Bytes(TextEncoding encoding, const std::string& text) {
  std::string ansi;
  if (encoding == TextEncoding::kUtf16) return Utf16FileBytes(text);
  if (encoding == TextEncoding::kAnsi && Utf8ToAnsi(text, &ansi)) return ansi;
  return text;
}

// The arguments in UTF-8; a null value removes the key, a null key the section.
BOOL WriteUtf8(const char* section, const char* key, const char* value, const std::string& file) {
  if (file.empty() || !section) return FALSE;
  std::string path = file;
  if (file.find_first_of("/\\") == std::string::npos) {
    MakeDirectories(NativeProfileDirectory());
    path = NativeProfileDirectory() + "/" + file;
  }
  std::string bytes;
  if (!ReadNamedFile(path, &bytes, size_t(1) << 30)) return FALSE;
  const DecodedText decoded = DecodeTextFile(bytes);
  std::string eol;
  std::vector<std::string> lines = SplitIniLines(decoded.text, &eol);
  std::vector<IniLine> entries;
  for (const std::string& line : lines) entries.push_back(ParseIniLine(line));
  const std::string sec = TrimIni(section);
  const IniRange r = FindIniSection(entries, sec);

  if (!key) {
    if (!r.found) return TRUE;
    lines.erase(lines.begin() + (r.header >= 0 ? size_t(r.header) : r.begin), lines.begin() + r.end);
  } else {
    const std::string name = TrimIni(key);
    if (name.empty()) return FALSE;
    const long at = r.found ? FindIniKey(entries, r, name) : -1;
    if (!value) {
      if (at < 0) return TRUE;
      lines.erase(lines.begin() + at);
    } else if (at >= 0) {
      lines[at] = entries[at].name + "=" + TrimIni(value);  // keeps the file's spelling of the name
    } else if (r.found) {
      // After the section's last non-blank line, so blank lines that
      // separate it from the next section stay where they are.
      size_t pos = r.end;
      while (pos > r.begin && entries[pos - 1].kind == IniLine::kBlank) --pos;
      lines.insert(lines.begin() + pos, name + "=" + TrimIni(value));
    } else {
      lines.push_back("[" + sec + "]");
      lines.push_back(name + "=" + TrimIni(value));
    }
  }
  std::string text;
  for (const std::string& line : lines) text += line + eol;
  return ReplaceNamedFile(path, Bytes(decoded.encoding, text)) ? TRUE : FALSE;
}

std::string FromAnsi(LPCSTR text) { return AnsiToUtf8(text); }
std::string FromWide(LPCWSTR text) { return Utf16ToUtf8(std::u16string(text)); }

}  // namespace

void NativeSetProfileDirectory(const char* dir) {
  g_haveDirOverride = dir && *dir;
  g_dirOverride = g_haveDirOverride ? dir : "";
}

std::string NativeProfileDirectory() {
  if (g_haveDirOverride) return g_dirOverride;
  const char* home = getenv("LUMARO_HOME");
  if (home && *home) return home;
  home = getenv("HOME");
  return std::string(home && *home ? home : ".") + "/.lumaro";
}

BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file) {
  if (!file) return FALSE;
  const std::string k = key ? FromAnsi(key) : "", v = value ? FromAnsi(value) : "";
  return WriteUtf8(section ? FromAnsi(section).c_str() : nullptr, key ? k.c_str() : nullptr,
                   value ? v.c_str() : nullptr, FromAnsi(file));
}

BOOL WritePrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR value, LPCWSTR file) {
  if (!file) return FALSE;
  const std::string k = key ? FromWide(key) : "", v = value ? FromWide(value) : "";
  return WriteUtf8(section ? FromWide(section).c_str() : nullptr, key ? k.c_str() : nullptr,
                   value ? v.c_str() : nullptr, FromWide(file));
}
