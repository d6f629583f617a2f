#include "text/text_file.h"

#include "text/ansi.h"
#include "text/line_stream.h"
#include "text/utf.h"

DecodedText DecodeTextFile(const std::string& bytes) {
  // A file decodes as its lines would, one after another.
  if (bytes.compare(0, 2, "\xFF\xFE") == 0)
    return {TextEncoding::kUtf16, DecodeLine(bytes.substr(2), TextEncoding::kUtf16, true)};
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
    return {TextEncoding::kUtf8, DecodeLine(bytes.substr(3), TextEncoding::kUtf8, true)};
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
