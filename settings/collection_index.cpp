#include "settings/collection_index.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "settings/profile.h"
#include "text/ansi.h"
#include "text/ini_text.h"
#include "text/line_stream.h"
#include "text/utf.h"

namespace {

struct FileCloser {
  void operator()(FILE* f) const { fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

// The keys "%d" forms: "0", or an optional minus and digits without a
// leading zero, within an int.
bool KeyNumber(const std::string& key, int* number) {
  const bool minus = !key.empty() && key[0] == '-';
  const std::string digits = key.substr(minus ? 1 : 0);
  if (digits.empty() || digits.size() > 10 || (digits[0] == '0' && (digits.size() > 1 || minus))) return false;
  long long n = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + (c - '0');
  }
  if (minus) n = -n;
  if (n < -2147483647LL - 1 || n > 2147483647LL) return false;
  *number = int(n);
  return true;
}

// The usual numbered line, "123=..." from its first byte: a key of digits
// has no blanks to trim, so it is the full parse's key, without a parse.
bool QuickKey(const std::string& line, int* number) {
  const size_t eq = line.find('=');
  return eq != std::string::npos && KeyNumber(line.substr(0, eq), number);
}

bool HasHighBytes(const std::string& bytes) {
  for (char c : bytes)
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  return false;
}

}  // namespace

void CollectionIndex::Refresh(const std::string& path) {
  FileStamp stamp;
  const bool found = StampNamedFile(path, &stamp);
  if (m_indexed && path == m_path && found && stamp == m_stamp) return;
  m_path = path;
  m_stamp = stamp;
  m_indexed = found;
  if (!found || stamp.size > kMaxProfileBytes || !Scan(false)) {
    m_count = 0;
    m_entries[kPictures].clear();
    m_entries[kTitles].clear();
  }
}

bool CollectionIndex::Scan(bool ansi) {
  for (std::vector<Entry>& entries : m_entries) entries.clear();
  File file(OpenNamedFile(m_path.c_str(), "rb"));
  if (!file) return false;
  LineStream lines(file.get());
  m_encoding = lines.Encoding();
  m_marked = lines.HasMark();
  // Without a mark the file is UTF-8 when every line is, and some line is
  // not ASCII; each line is taken as UTF-8 if it can be, and all again as
  // the code page should some line prove the file is not UTF-8.
  bool utf8Lines = false, otherLines = false;
  // kPictures and kTitles, then the other sections that matter here.
  enum { kProperties = 2, kOther, kNone };
  int section = kNone;
  bool seen[3] = {false, false, false}, counted = false;
  std::string bytes, count;
  uint64_t offset = 0;
  while (lines.Next(&bytes, &offset)) {
    const bool high = HasHighBytes(bytes);
    if (!m_marked && !ansi && high) {
      if (IsUtf8(bytes.data(), bytes.size())) utf8Lines = true;
      else otherLines = true;
    }
    int number = 0;
    if (section < 2 && m_encoding != TextEncoding::kUtf16 && QuickKey(bytes, &number)) {
      m_entries[section].push_back({number, uint32_t(offset)});
      continue;
    }
    std::string text;
    if (!high && m_encoding != TextEncoding::kUtf16) text = bytes;
    else if (m_marked || ansi) text = DecodeLine(bytes, m_encoding, m_marked);
    else text = IsUtf8(bytes.data(), bytes.size()) ? bytes : AnsiToUtf8(bytes);
    const IniLine line = ParseIniLine(text);
    if (line.kind == IniLine::kSection) {
      static const char* const kNames[] = {"Pictures", "Titles", "Properties"};
      section = kOther;
      for (int s = 0; s < 3; ++s)
        if (!seen[s] && SameTextIgnoringCase(line.name, kNames[s])) seen[s] = true, section = s;
    } else if (line.kind == IniLine::kKey && section == kProperties) {
      if (!counted && SameTextIgnoringCase(line.name, "Count")) {
        counted = true;
        if (line.hasValue) count = UnquotedIniValue(line.value);
      }
    } else if (line.kind == IniLine::kKey && section < 2) {
      if (KeyNumber(line.name, &number)) m_entries[section].push_back({number, uint32_t(offset)});
    }
  }
  if (lines.Failed()) return false;
  if (utf8Lines && otherLines) return Scan(true);
  if (!m_marked && utf8Lines && !otherLines) m_encoding = TextEncoding::kUtf8;
  m_count = IniInt(CutToUnits(count, kMaxValueUnits), 0);
  for (std::vector<Entry>& entries : m_entries) {
    // The first of a repeated key counts.
    std::stable_sort(entries.begin(), entries.end());
    entries.erase(std::unique(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.number == b.number; }),
                  entries.end());
    entries.shrink_to_fit();
  }
  return true;
}

std::string CollectionIndex::Value(Section section, int number) const {
  const std::vector<Entry>& entries = m_entries[section];
  const auto at = std::lower_bound(entries.begin(), entries.end(), Entry{number, 0});
  if (at == entries.end() || at->number != number) return std::string();
  File file(OpenNamedFile(m_path.c_str(), "rb"));
  if (!file) return std::string();
  LineStream lines(file.get(), m_encoding, at->offset);
  std::string bytes;
  uint64_t offset = 0;
  if (!lines.Next(&bytes, &offset)) return std::string();
  const IniLine line = ParseIniLine(DecodeLine(bytes, m_encoding, m_marked));
  return line.hasValue ? CutToUnits(UnquotedIniValue(line.value), kMaxValueUnits) : std::string();
}
