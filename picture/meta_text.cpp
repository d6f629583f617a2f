#include <algorithm>

#include "picture/meta_finds.h"

namespace {

const size_t kMaxText = 1000;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
  return s;
}

// `text` matches `pattern`: a digit for each 'd', the same character for any other.
bool Matches(std::string_view text, std::string_view pattern) {
  if (text.size() != pattern.size()) return false;
  for (size_t i = 0; i < text.size(); ++i)
    if (pattern[i] == 'd' ? text[i] < '0' || text[i] > '9' : text[i] != pattern[i]) return false;
  return true;
}

int Number(std::string_view text, size_t at, size_t digits) {
  int n = 0;
  for (size_t i = at; i < at + digits; ++i) n = n * 10 + (text[i] - '0');
  return n;
}

// The date at text's start, in the places a "YYYY?MM?DD?HH:MM:SS" form puts them; parts absent stay 0.
PhotoDate Checked(std::string_view text, size_t parts) {
  PhotoDate d;
  int* fields[] = {&d.year, &d.month, &d.day, &d.hour, &d.minute, &d.second};
  for (size_t i = 0; i < parts; ++i) *fields[i] = i == 0 ? Number(text, 0, 4) : Number(text, 2 + 3 * i, 2);
  static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = d.year % 4 == 0 && (d.year % 100 != 0 || d.year % 400 == 0);
  const bool valid = d.year >= 1 && d.month >= 1 && d.month <= 12 && d.day >= 1 && d.day <= kDays[d.month - 1] &&
                     (d.month != 2 || d.day <= 28 || leap) && d.hour <= 23 && d.minute <= 59 && d.second <= 59;
  return valid ? d : PhotoDate();
}

}  // namespace

void Keep(std::string* slot, std::string text) {
  if (!slot->empty()) return;
  std::string_view kept = Trimmed(text);
  if (kept.size() > kMaxText) {
    size_t cut = kMaxText;
    while (cut > 0 && (uint8_t(kept[cut]) & 0xC0) == 0x80) --cut;  // a continuation byte: inside a character
    kept = Trimmed(kept.substr(0, cut));
  }
  *slot = std::string(kept);
}

void Keep(PhotoDate* slot, const PhotoDate& date) {
  if (slot->year == 0) *slot = date;
}

bool IsUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const uint8_t c = uint8_t(text[i]);
    const size_t n = c < 0x80 ? 1 : c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
    if (n == 0 || n > text.size() - i) return false;
    for (size_t k = 1; k < n; ++k)
      if ((uint8_t(text[i + k]) & 0xC0) != 0x80) return false;
    const uint8_t next = n > 1 ? uint8_t(text[i + 1]) : 0x80;
    // Overlong forms, surrogates and code points past U+10FFFF.
    if ((c == 0xE0 && next < 0xA0) || (c == 0xED && next >= 0xA0) || (c == 0xF0 && next < 0x90) ||
        (c == 0xF4 && next >= 0x90))
      return false;
    i += n;
  }
  return true;
}

void AppendUtf8(std::string* out, uint32_t cp) {
  if (cp < 0x80) {
    out->push_back(char(cp));
  } else if (cp < 0x800) {
    out->push_back(char(0xC0 | cp >> 6)), out->push_back(char(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out->push_back(char(0xE0 | cp >> 12)), out->push_back(char(0x80 | (cp >> 6 & 0x3F)));
    out->push_back(char(0x80 | (cp & 0x3F)));
  } else {
    out->push_back(char(0xF0 | cp >> 18)), out->push_back(char(0x80 | (cp >> 12 & 0x3F)));
    out->push_back(char(0x80 | (cp >> 6 & 0x3F))), out->push_back(char(0x80 | (cp & 0x3F)));
  }
}

std::string Utf8OrLatin1(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), std::find(data, data + size, 0) - data);
  if (IsUtf8(text)) return std::string(text);
  std::string out;
  for (char c : text) AppendUtf8(&out, uint8_t(c));
  return out;
}

std::string Utf16LeToUtf8(const uint8_t* data, size_t size) {
  std::string out;
  for (size_t i = 0; i + 1 < size; i += 2) {
    uint32_t unit = uint32_t(data[i + 1]) << 8 | data[i];
    if (unit == 0) break;
    if (unit >= 0xDC00 && unit <= 0xDFFF) return "";
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      const uint32_t low = i + 3 < size ? uint32_t(data[i + 3]) << 8 | data[i + 2] : 0;
      if (low < 0xDC00 || low > 0xDFFF) return "";
      unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), i += 2;
    }
    AppendUtf8(&out, unit);
  }
  return out;
}

PhotoDate ExifDate(std::string_view text) {
  text = Trimmed(text.substr(0, text.find('\0')));
  return Matches(text, "dddd:dd:dd dd:dd:dd") ? Checked(text, 6) : PhotoDate();
}

PhotoDate XmpDate(std::string_view text) {
  text = Trimmed(text);
  if (Matches(text, "dddd-dd-dd")) return Checked(text, 3);
  if (text.size() < 16 || !Matches(text.substr(0, 16), "dddd-dd-ddTdd:dd")) return PhotoDate();
  std::string_view rest = text.substr(16);
  size_t parts = 5;
  if (rest.size() >= 3 && Matches(rest.substr(0, 3), ":dd")) {
    parts = 6, rest.remove_prefix(3);
    if (!rest.empty() && rest[0] == '.') {
      do rest.remove_prefix(1);
      while (!rest.empty() && rest[0] >= '0' && rest[0] <= '9');
    }
  }
  // The zone is checked for its form only: the time is taken as the camera's clock showed it.
  const bool zoned = rest.empty() || rest == "Z" || ((rest[0] == '+' || rest[0] == '-') && Matches(rest.substr(1), "dd:dd"));
  return zoned ? Checked(text, parts) : PhotoDate();
}
