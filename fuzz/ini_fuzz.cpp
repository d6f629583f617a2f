// The native INI layer against arbitrary files and calls. Input: the file's
// text, then "\n%%\n", then operation bytes (reads with small buffers and
// writes). Every read must stay inside its buffer and terminate it; a write
// of a plain value must read back.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/native_hooks.h"
#include "platform/win.h"

namespace {

std::string g_dir;
std::string g_file;

class Ops {
 public:
  Ops(const uint8_t* data, size_t size) : m_p(data), m_end(data + size) {}
  bool More() const { return m_p < m_end; }
  uint8_t Byte() { return m_p < m_end ? *m_p++ : 0; }
  // A short name or value; some bytes pick well-known ones.
  std::string Text() {
    static const char* const kKnown[] = {"Sets", "Main", "ScreenSaver", "", " sets ", "A", "k", "CurrentSet"};
    uint8_t len = Byte();
    if (len >= 0xf8) return kKnown[len - 0xf8];
    std::string s;
    for (int i = 0; i < len % 12 && More(); ++i) {
      char c = static_cast<char>(Byte());
      s += c ? c : 'z';  // a C string cannot hold a NUL
    }
    return s;
  }

 private:
  const uint8_t* m_p;
  const uint8_t* m_end;
};

// Exactly `size` bytes on the heap, so that ASan sees any write past them.
struct Buffer {
  explicit Buffer(DWORD n) : size(n), bytes(static_cast<char*>(malloc(n ? n : 1))) { memset(bytes, 'X', n ? n : 1); }
  ~Buffer() { free(bytes); }
  DWORD size;
  char* bytes;
};

void CheckString(const Buffer& b, DWORD n) {
  if (b.size == 0) {
    if (n != 0) abort();
    return;
  }
  if (strnlen(b.bytes, b.size) >= b.size || n != strlen(b.bytes)) abort();
}

void CheckList(const Buffer& b, DWORD n) {
  if (b.size == 0) {
    if (n != 0) abort();
    return;
  }
  if (b.size == 1) {
    if (n != 0 || b.bytes[0] != '\0') abort();
    return;
  }
  // Whole or cut, the list ends in an empty entry inside the buffer.
  if (n > b.size - 2 || b.bytes[n] != '\0') abort();
  if (!(n > 0 && b.bytes[n - 1] == '\0') && b.bytes[n + 1] != '\0') abort();
}

bool Plain(const std::string& s, const char* banned) {
  for (char c : s)
    if (c < 0x21 || c > 0x7e || strchr(banned, c)) return false;
  return true;
}

const char* Name(const std::string& s, bool null) { return null ? nullptr : s.c_str(); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (g_dir.empty()) {
    char tmpl[] = "/tmp/lumaro-ini-fuzz-XXXXXX";
    if (!mkdtemp(tmpl)) abort();
    g_dir = tmpl;
    g_file = g_dir + "/f.ini";
    NativeSetProfileDirectory(g_dir.c_str());
  }

  static const char kSep[] = "\n%%\n";
  const uint8_t* sep = static_cast<const uint8_t*>(memmem(data, size, kSep, 4));
  size_t iniSize = sep ? static_cast<size_t>(sep - data) : size;
  FILE* f = fopen(g_file.c_str(), "wb");
  if (!f) abort();
  fwrite(data, 1, iniSize, f);
  fclose(f);

  static const uint8_t kDefaultOps[] = {0, 0xf8, 0xf8, 40, 2, 0xf8, 9, 1, 0xf9, 0xfb, 2, 0xfa, 0, 1};
  Ops ops = sep ? Ops(sep + 4, size - iniSize - 4) : Ops(kDefaultOps, sizeof kDefaultOps);
  // Half the operations name the file bare, which must map to the same file.
  const char* file = g_file.c_str();
  for (int i = 0; i < 64 && ops.More(); ++i) {
    uint8_t op = ops.Byte();
    if (op & 0x80) file = (file == g_file.c_str()) ? "f.ini" : g_file.c_str();
    std::string section = ops.Text();
    std::string key = ops.Text();
    switch (op % 6) {
      case 0: {
        Buffer b(ops.Byte() % 40);
        std::string def = ops.Text();
        CheckString(b, GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), b.bytes, b.size, file));
        break;
      }
      case 1:
        GetPrivateProfileIntA(section.c_str(), key.c_str(), ops.Byte(), file);
        break;
      case 2: {
        Buffer b(ops.Byte() % 64);
        CheckList(b, GetPrivateProfileSectionA(section.c_str(), b.bytes, b.size, file));
        break;
      }
      case 3: {
        std::string value = ops.Text();
        BOOL ok = WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file);
        if (ok && Plain(section, "[]") && Plain(key, "[]=;\"'") && Plain(value, "\"'")) {
          Buffer b(300);
          GetPrivateProfileStringA(section.c_str(), key.c_str(), "\x01", b.bytes, b.size, file);
          if (value != b.bytes) abort();
        }
        break;
      }
      case 4: {
        bool wholeSection = ops.Byte() & 1;
        WritePrivateProfileStringA(section.c_str(), Name(key, wholeSection), nullptr, file);
        break;
      }
      case 5: {
        Buffer b(ops.Byte() % 64);
        bool sections = ops.Byte() & 1;
        CheckList(b, GetPrivateProfileStringA(Name(section, sections), nullptr, "", b.bytes, b.size, file));
        break;
      }
    }
  }
  return 0;
}
