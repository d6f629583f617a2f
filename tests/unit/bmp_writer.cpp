#include "unit/bmp_writer.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

namespace {

void Put(std::vector<uint8_t>& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

}  // namespace

std::vector<uint8_t> BmpFile::Bytes() const {
  std::vector<uint8_t> header;
  Put(header, headerSize, 4);
  const int dimension = headerSize == 12 ? 2 : 4;
  Put(header, uint32_t(width), dimension);
  Put(header, uint32_t(height), dimension);
  Put(header, planes, 2);
  Put(header, bitCount, 2);
  if (headerSize != 12) {
    for (uint32_t v : {compression, sizeImage, 2835u, 2835u, clrUsed, 0u}) Put(header, v, 4);
    if (headerSize > 4) header.resize(headerSize < 4096 ? headerSize : 4096, 0);
  }
  const size_t bitsAt = 14 + header.size() + table.size() + gap.size();
  std::vector<uint8_t> out;
  Put(out, type, 2);
  Put(out, uint32_t(bitsAt + bits.size()), 4);
  Put(out, 0, 4);
  Put(out, autoOffBits ? uint32_t(bitsAt) : offBits, 4);
  const std::vector<uint8_t>* parts[] = {&header, &table, &gap, &bits};
  for (const std::vector<uint8_t>* part : parts) out.insert(out.end(), part->begin(), part->end());
  return out;
}

std::vector<uint8_t> ColourTable(int entries, int entrySize) {
  std::vector<uint8_t> out;
  for (int i = 0; i < entries; ++i) {
    const uint8_t entry[4] = {uint8_t(i), uint8_t(i * 7 + 1), uint8_t(i * 13 + 2), 0x5A};
    out.insert(out.end(), entry, entry + entrySize);
  }
  return out;
}

std::vector<uint8_t> Pattern(size_t count, uint8_t seed) {
  std::vector<uint8_t> out(count);
  for (size_t i = 0; i < count; ++i) out[i] = uint8_t(i * 31 + seed);
  return out;
}

size_t RowBytes(int bitCount, int width) { return (size_t(bitCount) * size_t(width) + 31) / 32 * 4; }

std::string TempPath(const std::string& name) {
  const std::string file = "lumaro_" + std::to_string(getpid()) + "_" + name;
  return (std::filesystem::temp_directory_path() / file).string();
}

std::string WriteTemp(const std::string& name, const std::vector<uint8_t>& bytes) {
  const std::string path = TempPath(name);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  return path;
}

void RemoveTemp(const std::string& name) { remove(TempPath(name).c_str()); }
