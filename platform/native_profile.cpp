// INI files without the Windows profile service. Results follow what
// Windows (and Wine) give for the same calls, so the same tests pass on
// both: names match without regard to case and are trimmed, values are
// trimmed and lose one pair of matching quotes, a line without "=" is a key
// without a value, and lists that do not fit are cut and end in two NULs.
//
// A file is read whole at every call and rewritten whole at every write,
// through a temporary file and a rename, so that no reader ever sees a
// half-written file. Other lines are kept byte for byte.

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/native_hooks.h"
#include "platform/win.h"

namespace {

bool g_haveDirOverride = false;
std::string g_dirOverride;

bool IsBlank(unsigned char c) {
  // 0x1a: the end-of-file mark of old DOS editors.
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == 0x1a;
}

// Trimmed, and cut at an embedded NUL as a C string would be.
std::string Trim(const char* begin, const char* end) {
  const char* nul = static_cast<const char*>(memchr(begin, '\0', end - begin));
  if (nul) end = nul;
  while (begin < end && IsBlank(*begin)) ++begin;
  while (end > begin && IsBlank(end[-1])) --end;
  return std::string(begin, end);
}

std::string Trim(const std::string& s) { return Trim(s.data(), s.data() + s.size()); }

bool SameName(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }

struct Entry {
  enum Kind { kBlank, kSection, kKey } kind = kBlank;
  std::string name;
  std::string value;
  bool hasValue = false;
};

Entry ParseLine(const std::string& line) {
  Entry e;
  std::string t = Trim(line);
  if (t.empty()) return e;
  if (t[0] == '[') {
    size_t close = t.rfind(']');
    if (close != std::string::npos && close > 0) {
      e.kind = Entry::kSection;
      e.name = Trim(t.substr(1, close - 1));
      return e;
    }
    // No closing bracket: an ordinary line, as Windows takes it.
  }
  e.kind = Entry::kKey;
  size_t eq = t.find('=');
  if (eq == std::string::npos) {
    e.name = t;
  } else {
    e.name = Trim(t.substr(0, eq));
    e.value = Trim(t.substr(eq + 1));
    e.hasValue = true;
  }
  return e;
}

// The file as lines without their line breaks; `eol` is the break to use
// for lines that are added.
struct IniFile {
  std::vector<std::string> lines;
  std::string eol = "\r\n";
};

void MakeDirectories(const std::string& dir) {
  for (size_t i = 1; i <= dir.size(); ++i) {
    if (i == dir.size() || dir[i] == '/') mkdir(dir.substr(0, i).c_str(), 0700);
  }
}

std::string ResolvePath(LPCSTR file, bool* bare) {
  *bare = false;
  if (!file || !*file) return std::string();
  std::string path(file);
  if (path.find_first_of("/\\") == std::string::npos) {
    *bare = true;
    return NativeProfileDirectory() + "/" + path;
  }
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

// FALSE when the file exists but cannot be read; a missing file is empty.
bool Load(const std::string& path, IniFile* ini) {
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return errno == ENOENT;
  std::string data;
  char chunk[65536];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, f)) > 0) data.append(chunk, n);
  bool ok = !ferror(f);
  fclose(f);
  if (!ok) return false;

  size_t brk = data.find_first_of("\r\n");
  if (brk != std::string::npos) {
    if (data[brk] == '\n') ini->eol = "\n";
    else ini->eol = "\r\n";
  }
  size_t start = 0;
  while (start < data.size()) {
    size_t end = data.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      ini->lines.push_back(data.substr(start));
      break;
    }
    ini->lines.push_back(data.substr(start, end - start));
    start = end + ((data[end] == '\r' && end + 1 < data.size() && data[end + 1] == '\n') ? 2 : 1);
  }
  return true;
}

bool Store(const std::string& path, const IniFile& ini) {
  std::string data;
  for (const std::string& line : ini.lines) data += line + ini.eol;
  std::string temp = path + ".XXXXXX";
  int fd = mkstemp(&temp[0]);
  if (fd < 0) return false;
  size_t done = 0;
  while (done < data.size()) {
    ssize_t n = write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  bool ok = done == data.size() && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  if (ok) ok = rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) unlink(temp.c_str());
  return ok;
}

// The lines of a section: [begin, end). The lines before the first header
// form a section with an empty name. `header` is -1 for that one.
struct Range {
  bool found = false;
  long header = -1;
  size_t begin = 0;
  size_t end = 0;
};

Range FindSection(const std::vector<Entry>& entries, const std::string& name) {
  Range r;
  size_t i = 0;
  if (name.empty()) {
    r.found = true;
  } else {
    for (; i < entries.size(); ++i)
      if (entries[i].kind == Entry::kSection && SameName(entries[i].name, name)) break;
    if (i == entries.size()) return r;
    r.found = true;
    r.header = static_cast<long>(i);
    ++i;
  }
  r.begin = i;
  while (i < entries.size() && entries[i].kind != Entry::kSection) ++i;
  r.end = i;
  return r;
}

long FindKey(const std::vector<Entry>& entries, const Range& r, const std::string& key) {
  for (size_t i = r.begin; i < r.end; ++i)
    if (entries[i].kind == Entry::kKey && SameName(entries[i].name, key)) return static_cast<long>(i);
  return -1;
}

std::vector<Entry> ParseAll(const IniFile& ini) {
  std::vector<Entry> entries;
  entries.reserve(ini.lines.size());
  for (const std::string& line : ini.lines) entries.push_back(ParseLine(line));
  return entries;
}

bool LoadEntries(LPCSTR file, std::vector<Entry>* entries) {
  bool bare;
  std::string path = ResolvePath(file, &bare);
  if (path.empty()) return false;
  IniFile ini;
  if (!Load(path, &ini)) return false;
  *entries = ParseAll(ini);
  return true;
}

DWORD CopyCut(const std::string& text, LPSTR out, DWORD size) {
  size_t n = text.size() < size - 1 ? text.size() : size - 1;
  memcpy(out, text.data(), n);
  out[n] = '\0';
  return static_cast<DWORD>(n);
}

// Entries each followed by a NUL, then one more; cut to fit, in which case
// the list ends in two NULs and the result is size - 2. Like Windows, a list
// that fills the buffer exactly is reported as cut too.
DWORD CopyList(const std::vector<std::string>& items, LPSTR out, DWORD size) {
  if (size < 2) {
    if (size == 1) out[0] = '\0';
    return 0;
  }
  std::string flat;
  for (const std::string& item : items) {
    flat += item;
    flat += '\0';
  }
  if (flat.size() + 2 <= size) {
    memcpy(out, flat.data(), flat.size());
    out[flat.size()] = '\0';
    if (flat.empty()) out[1] = '\0';  // an empty list is two NULs
    return static_cast<DWORD>(flat.size());
  }
  memcpy(out, flat.data(), size - 2);
  out[size - 2] = '\0';
  out[size - 1] = '\0';
  return size - 2;
}

std::string Unquote(const std::string& v) {
  if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) return v.substr(1, v.size() - 2);
  return v;
}

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

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR def, LPSTR out, DWORD size, LPCSTR file) {
  if (!out || size == 0) return 0;
  std::vector<Entry> entries;
  bool loaded = LoadEntries(file, &entries);

  if (!section) {  // the section names
    std::vector<std::string> names;
    for (const Entry& e : entries)
      if (e.kind == Entry::kSection) names.push_back(e.name);
    return CopyList(names, out, size);
  }
  Range r = loaded ? FindSection(entries, Trim(std::string(section))) : Range();
  if (!key) {  // the key names of the section
    std::vector<std::string> names;
    if (r.found)
      for (size_t i = r.begin; i < r.end; ++i)
        if (entries[i].kind == Entry::kKey && entries[i].name[0] != ';') names.push_back(entries[i].name);
    return CopyList(names, out, size);
  }
  std::string name = Trim(std::string(key));
  if (r.found && !name.empty()) {
    long i = FindKey(entries, r, name);
    if (i >= 0 && entries[i].hasValue) return CopyCut(Unquote(entries[i].value), out, size);
  }
  // The default loses trailing blanks, as it does on Windows.
  std::string d = def ? def : "";
  while (!d.empty() && IsBlank(d.back())) d.pop_back();
  return CopyCut(d, out, size);
}

UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, int nDefault, LPCSTR file) {
  // Windows reads the value into 30 characters and converts it like
  // RtlUnicodeStringToInteger with base 0: a sign, an optional 0x/0o/0b
  // prefix and as many digits as follow, wrapping around on overflow.
  char buf[30];
  if (GetPrivateProfileStringA(section, key, "", buf, sizeof buf, file) == 0) return static_cast<UINT>(nDefault);
  const unsigned char* p = reinterpret_cast<const unsigned char*>(buf);
  while (*p && *p <= ' ') ++p;
  bool minus = false;
  if (*p == '+' || *p == '-') minus = *p++ == '-';
  unsigned base = 10;
  if (p[0] == '0' && (p[1] == 'x' || p[1] == 'o' || p[1] == 'b')) {
    base = p[1] == 'x' ? 16 : p[1] == 'o' ? 8 : 2;
    p += 2;
  }
  UINT total = 0;
  for (;; ++p) {
    unsigned digit;
    if (*p >= '0' && *p <= '9') digit = *p - '0';
    else if (*p >= 'a' && *p <= 'z') digit = *p - 'a' + 10;
    else if (*p >= 'A' && *p <= 'Z') digit = *p - 'A' + 10;
    else break;
    if (digit >= base) break;
    total = total * base + digit;
  }
  return minus ? 0u - total : total;
}

DWORD GetPrivateProfileSectionA(LPCSTR section, LPSTR out, DWORD size, LPCSTR file) {
  if (!out || size == 0) return 0;
  std::vector<Entry> entries;
  std::vector<std::string> items;
  if (section && LoadEntries(file, &entries)) {
    Range r = FindSection(entries, Trim(std::string(section)));
    if (r.found) {
      for (size_t i = r.begin; i < r.end; ++i) {
        const Entry& e = entries[i];
        if (e.kind != Entry::kKey || e.name[0] == ';') continue;  // blank or comment
        items.push_back(e.hasValue ? e.name + "=" + e.value : e.name);
      }
    }
  }
  return CopyList(items, out, size);
}

BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file) {
  bool bare;
  std::string path = ResolvePath(file, &bare);
  if (path.empty() || !section) return FALSE;
  if (bare) MakeDirectories(NativeProfileDirectory());

  IniFile ini;
  if (!Load(path, &ini)) return FALSE;
  std::vector<Entry> entries = ParseAll(ini);
  std::string sec = Trim(std::string(section));
  Range r = FindSection(entries, sec);
  std::vector<std::string>& lines = ini.lines;

  if (!key) {  // remove the whole section
    if (!r.found) return TRUE;
    size_t from = r.header >= 0 ? static_cast<size_t>(r.header) : r.begin;
    lines.erase(lines.begin() + from, lines.begin() + r.end);
    return Store(path, ini) ? TRUE : FALSE;
  }
  std::string name = Trim(std::string(key));
  if (name.empty()) return FALSE;

  long at = r.found ? FindKey(entries, r, name) : -1;
  if (!value) {  // remove the key
    if (at < 0) return TRUE;
    lines.erase(lines.begin() + at);
    return Store(path, ini) ? TRUE : FALSE;
  }
  std::string val = Trim(std::string(value));
  if (at >= 0) {
    lines[at] = entries[at].name + "=" + val;  // keeps the file's spelling of the name
  } else if (r.found) {
    // After the section's last non-blank line, so blank lines that
    // separate it from the next section stay where they are.
    size_t pos = r.end;
    while (pos > r.begin && entries[pos - 1].kind == Entry::kBlank) --pos;
    lines.insert(lines.begin() + pos, name + "=" + val);
  } else {
    lines.push_back("[" + sec + "]");
    lines.push_back(name + "=" + val);
  }
  return Store(path, ini) ? TRUE : FALSE;
}
