#include "bench/bench_picture.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

void Put(std::vector<unsigned char>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back((unsigned char)(value >> (8 * i)));
}

}  // namespace

bool WriteBenchPicture(BenchPicture& p) {
  const int entries = p.bitCount <= 8 ? 1 << p.bitCount : 0;
  const int entrySize = p.core ? 3 : 4;
  const size_t row = (size_t(p.bitCount) * p.width + 31) / 32 * 4;
  const uint32_t headerSize = p.core ? 12 : 40;
  const uint32_t offBits = 14 + headerSize + entries * entrySize + (p.masks ? 12 : 0);
  std::vector<unsigned char> out = {'B', 'M'};
  Put(out, uint32_t(offBits + row * p.height), 4);
  Put(out, 0, 4);
  Put(out, offBits, 4);
  Put(out, headerSize, 4);
  const int dimension = p.core ? 2 : 4;
  Put(out, p.width, dimension);
  Put(out, p.height, dimension);
  Put(out, 1, 2);
  Put(out, p.bitCount, 2);
  if (!p.core) Put(out, p.masks ? 3 : 0, 4), out.resize(out.size() + 20, 0);
  const bool wide = p.bitCount == 32;
  if (p.masks) Put(out, wide ? 0xFF0000 : 0xF800, 4), Put(out, wide ? 0xFF00 : 0x7E0, 4), Put(out, wide ? 0xFF : 0x1F, 4);
  for (int i = 0; i < entries; ++i) Put(out, uint32_t(i * 0x010203), entrySize);
  for (size_t i = 0; i < row * p.height; ++i) out.push_back((unsigned char)(i * 131 + i / row));

  p.path = "/tmp/lumaro_bench_" + std::to_string(getpid()) + "_" + std::to_string(p.width) + "x" +
           std::to_string(p.height) + "_" + std::to_string(p.bitCount) + (p.masks ? "m" : "") + ".bmp";
  FILE* file = fopen(p.path.c_str(), "wb");
  if (!file) return false;
  bool ok = fwrite(out.data(), 1, out.size(), file) == out.size();
  return fclose(file) == 0 && ok;
}
