#include "unit/bmp_writer.h"

#include <cstdio>
#include <filesystem>

#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

void Append(std::vector<uint8_t>& out, const std::vector<uint8_t>& more) {
  out.insert(out.end(), more.begin(), more.end());
}

}  // namespace

std::vector<uint8_t> BmpFile::Bytes() const {
  std::vector<uint8_t> header;
  Put32(header, headerSize);
  if (headerSize == 12) {
    Put16(header, uint32_t(width));
    Put16(header, uint32_t(height));
    Put16(header, planes);
    Put16(header, bitCount);
  } else {
    Put32(header, uint32_t(width));
    Put32(header, uint32_t(height));
    Put16(header, planes);
    Put16(header, bitCount);
    Put32(header, compression);
    Put32(header, sizeImage);
    Put32(header, 2835);
    Put32(header, 2835);
    Put32(header, clrUsed);
    Put32(header, 0);
    if (headerSize > 4) header.resize(headerSize < 4096 ? headerSize : 4096, 0);
  }

  const size_t bitsAt = 14 + header.size() + table.size() + gap.size();
  std::vector<uint8_t> out;
  Put16(out, type);
  Put32(out, uint32_t(bitsAt + bits.size()));
  Put32(out, 0);
  Put32(out, autoOffBits ? uint32_t(bitsAt) : offBits);
  Append(out, header);
  Append(out, table);
  Append(out, gap);
  Append(out, bits);
  return out;
}

std::vector<uint8_t> ColourTable(int entries, int entrySize) {
  std::vector<uint8_t> out;
  for (int i = 0; i < entries; ++i) {
    uint8_t entry[4] = {uint8_t(i), uint8_t(i * 7 + 1), uint8_t(i * 13 + 2), 0x5A};
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
  std::filesystem::path dir = std::filesystem::temp_directory_path();
  return (dir / ("lumaro_" + std::to_string(getpid()) + "_" + name)).string();
}

std::string WriteTemp(const std::string& name, const std::vector<uint8_t>& bytes) {
  std::string path = TempPath(name);
  FILE* file = fopen(path.c_str(), "wb");
  if (file) {
    if (!bytes.empty()) fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
  }
  return path;
}

void RemoveTemp(const std::string& name) { remove(TempPath(name).c_str()); }
