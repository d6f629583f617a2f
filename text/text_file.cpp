#include "text/text_file.h"

#include "text/ansi.h"
#include "text/utf.h"

DecodedText DecodeTextFile(const std::string& bytes) {
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
    std::u16string units((bytes.size() - 2) / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i)
      units[i] = char16_t(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                          static_cast<unsigned char>(bytes[3 + 2 * i]) << 8);
    return {TextEncoding::kUtf16, Utf16ToUtf8(units)};
  }
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return {TextEncoding::kUtf8, Utf16ToUtf8(Utf8ToUtf16(bytes.substr(3)))};
  bool ascii = true;
  for (char c : bytes) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (!ascii && IsUtf8(bytes.data(), bytes.size())) return {TextEncoding::kUtf8, bytes};
  return {TextEncoding::kAnsi, ascii ? bytes : AnsiToUtf8(bytes)};
}

std::string Utf16FileBytes(const std::string& utf8) {
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : Utf8ToUtf16(utf8)) {
    bytes += char(unit & 0xFF);
    bytes += char(unit >> 8);
  }
  return bytes;
}
