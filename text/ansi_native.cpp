// Windows-1252 for the native build. Its five unassigned bytes map to the
// control characters of the same number, as Windows maps them, so that every
// byte reads back as it was.
#include "text/ansi.h"
#include "text/utf.h"

namespace {
const char16_t k1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t Unit(unsigned char byte) { return byte >= 0x80 && byte < 0xA0 ? k1252High[byte - 0x80] : byte; }
}  // namespace

std::string AnsiToUtf8(const std::string& ansi) {
  std::u16string wide;
  for (char c : ansi) wide += Unit(static_cast<unsigned char>(c));
  return Utf16ToUtf8(wide);
}

bool Utf8ToAnsi(const std::string& utf8, std::string* ansi) {
  ansi->clear();
  for (char16_t unit : Utf8ToUtf16(utf8)) {
    int byte = 0;
    while (byte < 256 && Unit(static_cast<unsigned char>(byte)) != unit) ++byte;
    if (byte == 256) return false;
    *ansi += char(byte);
  }
  return true;
}
