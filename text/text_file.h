// The encodings a text file is found in, as profile and collection files
// are saved by Lumaro, by older programs and by today's editors.
#pragma once

#include <string>

enum class TextEncoding {
  kAnsi,   // the system's code page: what the narrow profile functions write
  kUtf8,   // with its signature, or without when its bytes are UTF-8 and not all ASCII
  kUtf16,  // little-endian after its byte-order mark, as the wide profile functions keep it
};

struct DecodedText {
  TextEncoding encoding;
  std::string text;  // UTF-8, without a mark
};

// A file's bytes, whatever encoding they are in. A file in a code page is
// practically never valid UTF-8 once it holds characters outside ASCII.
DecodedText DecodeTextFile(const std::string& bytes);

// The mark and the text in UTF-16LE.
std::string Utf16FileBytes(const std::string& utf8);
