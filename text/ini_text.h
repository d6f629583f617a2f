// INI text as the profile functions take it: names match without regard to
// case and are trimmed, values are trimmed and lose one pair of matching
// quotes, a line without "=" is a key without a value, a line starting ";"
// is a comment, and the first of repeated sections or keys counts.
#pragma once

#include <string>
#include <vector>

struct IniLine {
  enum Kind { kBlank, kSection, kKey } kind = kBlank;
  std::string name;
  std::string value;  // trimmed, quotes kept
  bool hasValue = false;
};

IniLine ParseIniLine(const std::string& line);

// Without the blanks the profile functions trim, and cut at a NUL.
std::string TrimIni(const std::string& text);

// The text's lines without their breaks; `eol` gets the first break found
// ("\r\n" when there is none).
std::vector<std::string> SplitIniLines(const std::string& text, std::string* eol = nullptr);

std::string UnquotedIniValue(const std::string& value);

// A section's lines [begin, end), after its header. The lines before the
// first header form the section named "", whose header is -1.
struct IniRange {
  bool found = false;
  long header = -1;
  size_t begin = 0;
  size_t end = 0;
};
IniRange FindIniSection(const std::vector<IniLine>& lines, const std::string& name);
long FindIniKey(const std::vector<IniLine>& lines, const IniRange& range, const std::string& key);

// One change as the profile functions make it: a null value removes the key.
struct IniChange {
  const char* section;
  const char* key;
  const char* value;
};

// Makes `change` in the text as the profile functions make it in a file: a
// new key goes after its section's last non-blank line, a new section at
// the end, a key written again keeps the file's spelling of its name, and
// every other line stays as it was; lines end as the text's first one does.
// A change they refuse (no section, a key that trims to nothing) changes
// nothing.
void EditIniText(std::string* text, const IniChange& change);

// A whole text parsed once, for many look-ups.
class IniText {
 public:
  explicit IniText(const std::string& utf8);
  // The key's value without its quotes. FALSE when there is none, or when
  // the key's line has no "=".
  bool Find(const char* section, const char* key, std::string* value) const;
  // The section's keys with their values, comments left out, in file order.
  std::vector<IniLine> Section(const char* section) const;

 private:
  std::vector<IniLine> m_lines;
};
