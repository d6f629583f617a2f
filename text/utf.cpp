#include "text/utf.h"

#include <cstdint>
#include <cwchar>

namespace {

const char32_t kReplacement = 0xFFFD;

// The code point at `p`, moving `p` past it. An ill-formed sequence gives
// U+FFFD, sets `*bad`, and moves one byte on, where the next character may
// start.
char32_t NextCodePoint(const unsigned char*& p, const unsigned char* end, bool* bad = nullptr) {
  const unsigned char lead = *p++;
  if (lead < 0x80) return lead;
  int more = 0;
  char32_t cp = 0, least = 0;
  if (lead >= 0xC2 && lead <= 0xDF) more = 1, cp = lead & 0x1F, least = 0x80;
  else if (lead >= 0xE0 && lead <= 0xEF) more = 2, cp = lead & 0x0F, least = 0x800;
  else if (lead >= 0xF0 && lead <= 0xF4) more = 3, cp = lead & 0x07, least = 0x10000;
  bool formed = more > 0 && end - p >= more;
  for (int i = 0; formed && i < more; ++i) {
    formed = (p[i] & 0xC0) == 0x80;
    cp = cp << 6 | (p[i] & 0x3F);
  }
  if (!formed || cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    if (bad) *bad = true;
    return kReplacement;
  }
  p += more;
  return cp;
}

void AppendUtf8(char32_t cp, std::string* out) {
  if (cp < 0x80) {
    *out += char(cp);
  } else if (cp < 0x800) {
    *out += char(0xC0 | cp >> 6);
    *out += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    *out += char(0xE0 | cp >> 12);
    *out += char(0x80 | (cp >> 6 & 0x3F));
    *out += char(0x80 | (cp & 0x3F));
  } else {
    *out += char(0xF0 | cp >> 18);
    *out += char(0x80 | (cp >> 12 & 0x3F));
    *out += char(0x80 | (cp >> 6 & 0x3F));
    *out += char(0x80 | (cp & 0x3F));
  }
}

// The capital a letter folds to; anything else stays.
char32_t Folded(char32_t c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c < 0xE0) return c;
  if (c <= 0xFE) return c == 0xF7 ? c : c - 32;
  if (c == 0xFF) return 0x178;
  if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return c & ~char32_t(1);
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return c & 1 ? c : c - 1;
  if (c == 0x3AC) return 0x386;
  if (c >= 0x3AD && c <= 0x3AF) return c - 37;
  if (c == 0x3C2) return 0x3A3;  // final sigma
  if (c >= 0x3B1 && c <= 0x3CB) return c - 32;
  if (c == 0x3CC) return 0x38C;
  if (c == 0x3CD || c == 0x3CE) return c - 63;
  if (c >= 0x430 && c <= 0x44F) return c - 32;
  if (c >= 0x450 && c <= 0x45F) return c - 80;
  if ((c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4BF)) return c & ~char32_t(1);
  return c;
}

}  // namespace

bool IsUtf8(const char* text, size_t size) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  const unsigned char* end = p + size;
  bool bad = false;
  while (p < end && !bad) NextCodePoint(p, end, &bad);
  return !bad;
}

std::u16string Utf8ToUtf16(const std::string& text) {
  std::u16string out;
  out.reserve(text.size());
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
  const unsigned char* end = p + text.size();
  while (p < end) {
    const char32_t cp = NextCodePoint(p, end);
    if (cp < 0x10000) {
      out += char16_t(cp);
    } else {
      out += char16_t(0xD800 + ((cp - 0x10000) >> 10));
      out += char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF));
    }
  }
  return out;
}

std::string Utf16ToUtf8(const char16_t* text, size_t size) {
  std::string out;
  out.reserve(size);
  for (size_t i = 0; i < size; ++i) {
    char32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < size && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
    else if (cp >= 0xD800 && cp <= 0xDFFF)
      cp = kReplacement;
    AppendUtf8(cp, &out);
  }
  return out;
}

size_t Utf16Length(const std::string& text) { return Utf8ToUtf16(text).size(); }

std::string CutToUnits(const std::string& text, size_t units) {
  const unsigned char* begin = reinterpret_cast<const unsigned char*>(text.data());
  const unsigned char* p = begin;
  const unsigned char* end = p + text.size();
  for (size_t used = 0; p < end;) {
    const unsigned char* at = p;
    used += NextCodePoint(p, end) >= 0x10000 ? 2 : 1;
    if (used > units) return text.substr(0, size_t(at - begin));
  }
  return text;
}

bool SameTextIgnoringCase(const std::string& a, const std::string& b) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(a.data());
  const unsigned char* q = reinterpret_cast<const unsigned char*>(b.data());
  const unsigned char* pEnd = p + a.size();
  const unsigned char* qEnd = q + b.size();
  while (p < pEnd && q < qEnd)
    if (Folded(NextCodePoint(p, pEnd)) != Folded(NextCodePoint(q, qEnd))) return false;
  return p == pEnd && q == qEnd;
}

#ifdef _WIN32
std::wstring Wide(const std::string& utf8) {
  const std::u16string wide = Utf8ToUtf16(utf8);
  return std::wstring(wide.begin(), wide.end());
}

std::string Narrow(const wchar_t* wide) {
  const std::u16string units(wide, wide + wcslen(wide));
  return Utf16ToUtf8(units);
}
#endif
