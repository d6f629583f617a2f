// A text file's lines one at a time, read a piece at a time, so that the
// memory taken does not grow with the file. Lines end at CR LF, CR or LF,
// as INI text splits them; in UTF-16 files these are whole 16-bit units.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "text/text_file.h"

class LineStream {
 public:
  // Reads `file` (not owned) from where its encoding's mark ends: the mark
  // is read first and decides the encoding. A file without a mark is kAnsi
  // here; whether it is UTF-8 is known only once it has all been read.
  explicit LineStream(FILE* file);
  // Reads `file` from `offset` in an encoding already known.
  LineStream(FILE* file, TextEncoding encoding, uint64_t offset);

  TextEncoding Encoding() const { return m_encoding; }
  bool HasMark() const { return m_mark; }
  // The next line's bytes, without its break, and where they start in the
  // file. FALSE at the end of the file, or when it cannot be read.
  bool Next(std::string* line, uint64_t* offset);
  bool Failed() const { return m_failed; }

 private:
  bool Fill();
  unsigned UnitAt(size_t at) const;
  size_t Whole() const;

  FILE* m_file;
  TextEncoding m_encoding;
  bool m_mark = false;
  size_t m_unit;         // bytes in a unit: 2 in UTF-16, else 1
  std::string m_buffer;  // what has been read, from m_pos not yet taken
  size_t m_pos = 0;
  uint64_t m_start;      // where m_buffer starts in the file
  bool m_end = false;
  bool m_failed = false;
};

// One line's bytes as the whole file's text would decode them, in UTF-8:
// kAnsi from the code page, kUtf8 as it is (with `marked`, ill-formed
// sequences replaced, as after a signature), kUtf16 from little-endian units.
std::string DecodeLine(const std::string& bytes, TextEncoding encoding, bool marked);
