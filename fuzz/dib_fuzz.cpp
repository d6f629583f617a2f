// Feeds arbitrary files to DibPicture::Load, twice into one holder, prepares each picture at a size the
// file's last bytes choose, and checks that every byte drawing would read is in the block, so a block
// shorter than its header claims shows up.
#include <sanitizer/asan_interface.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "picture/dib_picture.h"
#include "unit/dib_consistency.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/lumaro_dib_fuzz_" + std::to_string(getpid()) + ".bmp";
  FILE* file = fopen(path.c_str(), "wb");
  if (!file || fwrite(data, 1, size, file) != size || fclose(file) != 0) abort();
  DibPicture p;
  for (int round = 0; round < 3; ++round) {  // load, load again over it, release: each leaves a consistent holder
    round < 2 ? (void)p.Load(path.c_str()) : p.Release();
    // Preparing reads every pixel. A short file may claim up to 256 MiB of them, taken zero-filled, which
    // costs time but reads nothing a small picture of the same header would not: those are left unprepared.
    if (round < 2 && size > 2 && int64_t(p.m_nWidth) * p.m_nHeight <= int64_t(1) << 22)
      p.Prepare(1 + data[size - 1] % 97, 1 + data[size - 2] % 61);
    const int64_t image = DrawnBytes(p);
    if (image < 0 || (image > 0 && __asan_region_is_poisoned(p.m_pBits, size_t(image)))) abort();
  }
  return 0;
}
