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
#include <vector>

#include "platform/native_hooks.h"
#include "platform/win.h"

namespace {

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
    for (int i = 0; i < len % 12 && More(); ++i, ++m_p) s += *m_p ? char(*m_p) : 'z';  // no NUL in a C string
    return s;
  }

 private:
  const uint8_t* m_p;
  const uint8_t* m_end;
};

// Exactly `size` bytes on the heap, so that ASan sees any write past them;
// one byte, to stay untouched, for size 0.
struct Buffer : std::vector<char> {
  explicit Buffer(DWORD n) : std::vector<char>(n ? n : 1, 'X'), size(n) {}
  DWORD size;
};

// A string read returns its length and is terminated; a list, whole or cut,
// ends in an empty entry inside the buffer.
void Check(const Buffer& b, DWORD n, bool list) {
  const char* s = b.data();
  bool ok = b.size == 0     ? n == 0 && s[0] == 'X'
            : !list         ? strnlen(s, b.size) < b.size && n == strlen(s)
            : b.size == 1   ? n == 0 && s[0] == '\0'
                            : n <= b.size - 2 && s[n] == '\0' && ((n > 0 && s[n - 1] == '\0') || s[n + 1] == '\0');
  if (!ok) abort();
}

bool Plain(const std::string& s, const char* banned) {
  for (char c : s)
    if (c < 0x21 || c > 0x7e || strchr(banned, c)) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::string path;
  if (path.empty()) {
    char dir[] = "/tmp/lumaro-ini-fuzz-XXXXXX";
    if (!mkdtemp(dir)) abort();
    path = std::string(dir) + "/f.ini";
    NativeSetProfileDirectory(dir);
  }
  const uint8_t* sep = static_cast<const uint8_t*>(memmem(data, size, "\n%%\n", 4));
  const size_t iniSize = sep ? size_t(sep - data) : size;
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) abort();
  fwrite(data, 1, iniSize, f);
  fclose(f);

  static const uint8_t kDefaultOps[] = {0, 0xf8, 0xf8, 40, 2, 0xf8, 9, 1, 0xf9, 0xfb, 2, 0xfa, 0, 1};
  Ops ops = sep ? Ops(sep + 4, size - iniSize - 4) : Ops(kDefaultOps, sizeof kDefaultOps);
  const char* file = path.c_str();  // a high bit switches between the full and the bare name
  for (int i = 0; i < 64 && ops.More(); ++i) {
    const uint8_t op = ops.Byte();
    if (op & 0x80) file = file == path.c_str() ? "f.ini" : path.c_str();
    const std::string section = ops.Text(), key = ops.Text();
    const char *s = section.c_str(), *k = key.c_str();
    switch (op % 6) {
      case 0: {
        Buffer b(ops.Byte() % 40);
        const std::string def = ops.Text();
        Check(b, GetPrivateProfileStringA(s, k, def.c_str(), b.data(), b.size, file), false);
        break;
      }
      case 1:
        GetPrivateProfileIntA(s, k, ops.Byte(), file);
        break;
      case 2: {
        Buffer b(ops.Byte() % 64);
        Check(b, GetPrivateProfileSectionA(s, b.data(), b.size, file), true);
        break;
      }
      case 3: {
        const std::string value = ops.Text();
        if (WritePrivateProfileStringA(s, k, value.c_str(), file) && Plain(section, "[]") &&
            Plain(key, "[]=;\"'") && Plain(value, "\"'")) {
          char back[300];
          GetPrivateProfileStringA(s, k, "\x01", back, sizeof back, file);
          if (value != back) abort();
        }
        break;
      }
      case 4:  // deletes the key, or the whole section
        WritePrivateProfileStringA(s, (ops.Byte() & 1) ? nullptr : k, nullptr, file);
        break;
      case 5: {  // the names of the keys, or of the sections
        Buffer b(ops.Byte() % 64);
        Check(b, GetPrivateProfileStringA((ops.Byte() & 1) ? nullptr : s, nullptr, "", b.data(), b.size, file), true);
        break;
      }
    }
  }
  return 0;
}
