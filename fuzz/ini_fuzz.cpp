// The native INI functions against arbitrary files and calls. Input: the file, then "\n%%\n", then
// operation bytes. Every read stays inside its buffer and terminates it.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/native_hooks.h"

// A string read returns its length, terminated; a list, whole or cut, ends in an empty entry; size 0 is left alone.
static void Check(const char* s, DWORD size, DWORD n, bool list) {
  if (!(size == 0  ? n == 0 && s[0] == 'X'
        : !list    ? strnlen(s, size) < size && n == strlen(s)
        : size == 1 ? n == 0 && s[0] == '\0'
                    : n <= size - 2 && s[n] == '\0' && ((n > 0 && s[n - 1] == '\0') || s[n + 1] == '\0')))
    abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::string path;
  char dir[] = "/tmp/lumaro-ini-fuzz-XXXXXX";
  if (path.empty() && mkdtemp(dir)) NativeSetProfileDirectory(dir), path = std::string(dir) + "/f.ini";
  const uint8_t *p = static_cast<const uint8_t*>(memmem(data, size, "\n%%\n", 4)), *end = data + size;
  const size_t fileSize = (p ? p : end) - data;
  FILE* f = fopen(path.c_str(), "wb");
  if (!f || fwrite(data, 1, fileSize, f) != fileSize || fclose(f) != 0) abort();
  p = p ? p + 4 : data;  // without operations, the file's own bytes serve
  auto byte = [&]() -> uint8_t { return p < end ? *p++ : 0; };
  auto text = [&] {  // a short name or value without NULs; some bytes pick well-known ones
    static const char* const kKnown[] = {"Sets", "Main", "ScreenSaver", "", " sets ", "A", "k", "CurrentSet"};
    const uint8_t length = byte();
    std::string s = length >= 0xf8 ? kKnown[length - 0xf8] : "";
    for (int i = 0; length < 0xf8 && i < length % 12 && p < end; ++i, ++p) s += *p ? char(*p) : 'z';
    return s;
  };
  for (int i = 0; i < 64 && p < end; ++i) {
    const uint8_t op = byte();
    const char* file = op & 0x80 ? "f.ini" : path.c_str();  // the bare name or the full one
    const std::string section = text(), key = text(), value = text();
    const char *s = section.c_str(), *k = key.c_str(), *v = value.c_str();
    const DWORD n = byte() % 64;
    std::vector<char> b(n ? n : 1, 'X');  // exactly n bytes on the heap, so ASan sees a write past them
    if (op % 4 == 0) Check(b.data(), n, GetPrivateProfileStringA(s, k, v, b.data(), n, file), false);
    if (op % 4 == 1) Check(b.data(), n, GetPrivateProfileSectionA(s, b.data(), n, file), true);
    if (op % 4 == 2) Check(b.data(), n, GetPrivateProfileStringA(n & 1 ? nullptr : s, nullptr, "", b.data(), n, file), true);
    if (op % 4 == 3) WritePrivateProfileStringA(s, n % 3 == 1 ? nullptr : k, n % 3 == 2 ? nullptr : v, file);
  }
  return 0;
}
