#include "text/line_stream.h"

#include "text/ansi.h"
#include "text/utf.h"

namespace {
const size_t kPiece = 64 * 1024;
}  // namespace

LineStream::LineStream(FILE* file) : m_file(file), m_encoding(TextEncoding::kAnsi), m_unit(1), m_start(0) {
  Fill();
  if (m_buffer.compare(0, 2, "\xFF\xFE") == 0) {
    m_encoding = TextEncoding::kUtf16, m_unit = 2, m_mark = true;
    m_pos = 2;
  } else if (m_buffer.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    m_encoding = TextEncoding::kUtf8, m_mark = true;
    m_pos = 3;
  }
}

LineStream::LineStream(FILE* file, TextEncoding encoding, uint64_t offset)
    : m_file(file), m_encoding(encoding), m_unit(encoding == TextEncoding::kUtf16 ? 2 : 1), m_start(offset) {
  m_failed = fseek(file, long(offset), SEEK_SET) != 0;
  m_end = m_failed;
}

bool LineStream::Fill() {
  if (m_end) return false;
  // What was taken goes first, so the buffer holds about one piece.
  m_buffer.erase(0, m_pos);
  m_start += m_pos;
  m_pos = 0;
  const size_t kept = m_buffer.size();
  m_buffer.resize(kept + kPiece);
  const size_t n = fread(&m_buffer[kept], 1, kPiece, m_file);
  m_buffer.resize(kept + n);
  if (n < kPiece) {
    m_end = true;
    m_failed = ferror(m_file) != 0;
  }
  return n > 0;
}

unsigned LineStream::UnitAt(size_t at) const {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(m_buffer.data()) + at;
  return m_unit == 2 ? unsigned(p[0] | p[1] << 8) : p[0];
}

size_t LineStream::Whole() const {
  // Only whole units count: an odd byte at the end of UTF-16 is dropped.
  return m_buffer.size() - (m_buffer.size() - m_pos) % m_unit;
}

bool LineStream::Next(std::string* line, uint64_t* offset) {
  size_t at = m_pos;
  for (;;) {
    const size_t whole = Whole();
    while (at < whole && UnitAt(at) != '\r' && UnitAt(at) != '\n') at += m_unit;
    // A CR that ends what was read may have its LF still to come.
    if (at < whole && (UnitAt(at) == '\n' || at + m_unit < whole)) break;
    if (m_end) break;
    const size_t taken = m_pos;
    Fill();
    at -= taken;
  }
  const size_t whole = Whole();
  if (at == m_pos && at == whole) return false;
  line->assign(m_buffer, m_pos, at - m_pos);
  *offset = m_start + m_pos;
  m_pos = at;
  if (at < whole) {
    m_pos += m_unit;
    if (UnitAt(at) == '\r' && m_pos < whole && UnitAt(m_pos) == '\n') m_pos += m_unit;
  }
  return true;
}

std::string DecodeLine(const std::string& bytes, TextEncoding encoding, bool marked) {
  switch (encoding) {
    case TextEncoding::kUtf16: {
      std::u16string units(bytes.size() / 2, u'\0');
      for (size_t i = 0; i < units.size(); ++i)
        units[i] = char16_t(static_cast<unsigned char>(bytes[2 * i]) | static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
      return Utf16ToUtf8(units);
    }
    case TextEncoding::kUtf8:
      return marked ? Utf16ToUtf8(Utf8ToUtf16(bytes)) : bytes;
    case TextEncoding::kAnsi:
      break;
  }
  return AnsiToUtf8(bytes);
}
