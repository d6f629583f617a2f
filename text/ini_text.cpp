#include "text/ini_text.h"

#include <cstring>

#include "text/utf.h"

namespace {

bool IsBlank(unsigned char c) {
  // 0x1a: the end-of-file mark of old DOS editors.
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == 0x1a;
}

}  // namespace

// Cut at an embedded NUL as a C string would be.
std::string TrimIni(const std::string& s) {
  const char* begin = s.data();
  const char* end = begin + s.size();
  if (const void* nul = memchr(begin, '\0', s.size())) end = static_cast<const char*>(nul);
  while (begin < end && IsBlank(*begin)) ++begin;
  while (end > begin && IsBlank(end[-1])) --end;
  return std::string(begin, end);
}

IniLine ParseIniLine(const std::string& line) {
  IniLine e;
  const std::string t = TrimIni(line);
  if (t.empty()) return e;
  if (t[0] == '[') {
    const size_t close = t.rfind(']');
    if (close != std::string::npos && close > 0) {
      e.kind = IniLine::kSection;
      e.name = TrimIni(t.substr(1, close - 1));
      return e;
    }
    // No closing bracket: an ordinary line, as Windows takes it.
  }
  e.kind = IniLine::kKey;
  const size_t eq = t.find('=');
  if (eq == std::string::npos) {
    e.name = t;
  } else {
    e.name = TrimIni(t.substr(0, eq));
    e.value = TrimIni(t.substr(eq + 1));
    e.hasValue = true;
  }
  return e;
}

std::vector<std::string> SplitIniLines(const std::string& text, std::string* eol) {
  std::vector<std::string> lines;
  const size_t brk = text.find_first_of("\r\n");
  if (eol) *eol = brk != std::string::npos && text[brk] == '\n' ? "\n" : "\r\n";
  for (size_t start = 0; start < text.size();) {
    const size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

std::string UnquotedIniValue(const std::string& v) {
  if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) return v.substr(1, v.size() - 2);
  return v;
}

IniRange FindIniSection(const std::vector<IniLine>& lines, const std::string& name) {
  IniRange r;
  size_t i = 0;
  if (!name.empty()) {
    while (i < lines.size() && !(lines[i].kind == IniLine::kSection && SameTextIgnoringCase(lines[i].name, name))) ++i;
    if (i == lines.size()) return r;
    r.header = long(i++);
  }
  r.found = true;
  r.begin = i;
  while (i < lines.size() && lines[i].kind != IniLine::kSection) ++i;
  r.end = i;
  return r;
}

long FindIniKey(const std::vector<IniLine>& lines, const IniRange& r, const std::string& key) {
  for (size_t i = r.begin; i < r.end; ++i)
    if (lines[i].kind == IniLine::kKey && SameTextIgnoringCase(lines[i].name, key)) return long(i);
  return -1;
}

IniText::IniText(const std::string& utf8) {
  for (const std::string& line : SplitIniLines(utf8)) {
    IniLine parsed = ParseIniLine(line);
    if (parsed.kind != IniLine::kBlank) m_lines.push_back(std::move(parsed));
  }
}

bool IniText::Find(const char* section, const char* key, std::string* value) const {
  const IniRange r = FindIniSection(m_lines, TrimIni(section));
  const std::string name = TrimIni(key);
  const long at = r.found && !name.empty() ? FindIniKey(m_lines, r, name) : -1;
  if (at < 0 || !m_lines[at].hasValue) return false;
  *value = UnquotedIniValue(m_lines[at].value);
  return true;
}

std::vector<IniLine> IniText::Section(const char* section) const {
  std::vector<IniLine> keys;
  const IniRange r = FindIniSection(m_lines, TrimIni(section));
  for (size_t i = r.found ? r.begin : 0; i < r.end; ++i)
    if (m_lines[i].name[0] != ';') keys.push_back(m_lines[i]);
  return keys;
}

void EditIniText(std::string* text, const IniChange& change) {
  const std::string name = change.key ? TrimIni(change.key) : std::string();
  if (!change.section || name.empty()) return;
  std::string eol;
  std::vector<std::string> lines = SplitIniLines(*text, &eol);
  std::vector<IniLine> entries;
  for (const std::string& line : lines) entries.push_back(ParseIniLine(line));
  const std::string sec = TrimIni(change.section);
  const IniRange r = FindIniSection(entries, sec);
  const long at = r.found ? FindIniKey(entries, r, name) : -1;
  if (!change.value) {
    if (at < 0) return;
    lines.erase(lines.begin() + at);
  } else if (at >= 0) {
    lines[at] = entries[at].name + "=" + TrimIni(change.value);
  } else if (r.found) {
    // After the section's last non-blank line, so blank lines that
    // separate it from the next section stay where they are.
    size_t pos = r.end;
    while (pos > r.begin && entries[pos - 1].kind == IniLine::kBlank) --pos;
    lines.insert(lines.begin() + pos, name + "=" + TrimIni(change.value));
  } else {
    lines.push_back("[" + sec + "]");
    lines.push_back(name + "=" + TrimIni(change.value));
  }
  text->clear();
  for (const std::string& line : lines) *text += line + eol;
}
