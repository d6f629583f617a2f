// Builds BMP files byte by byte for the loader tests, including broken ones:
// every field is written as given, nothing is checked or corrected.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct BmpFile {
  uint16_t type = 0x4D42;
  uint32_t headerSize = 40;  // 12 writes a core header; other sizes pad or cut the 40-byte one
  int32_t width = 1;         // a core header keeps the low 16 bits
  int32_t height = 1;
  uint16_t planes = 1;
  uint16_t bitCount = 24;
  uint32_t compression = 0;
  uint32_t sizeImage = 0;
  uint32_t clrUsed = 0;
  std::vector<uint8_t> table;  // written as it stands: 3 or 4 bytes per entry
  std::vector<uint8_t> gap;    // bytes between the table and the bits
  std::vector<uint8_t> bits;
  bool autoOffBits = true;     // bfOffBits = where the bits start
  uint32_t offBits = 0;        // used when autoOffBits is false

  std::vector<uint8_t> Bytes() const;
};

// A colour table of `entries` distinct entries of 3 or 4 bytes each.
std::vector<uint8_t> ColourTable(int entries, int entrySize);

// `count` bytes of a pattern that differs from row to row.
std::vector<uint8_t> Pattern(size_t count, uint8_t seed = 1);

// Padded row size of an uncompressed picture.
size_t RowBytes(int bitCount, int width);

// A file in this process's temporary directory; written by WriteTemp and
// removed by RemoveTemp.
std::string TempPath(const std::string& name);
std::string WriteTemp(const std::string& name, const std::vector<uint8_t>& bytes);
void RemoveTemp(const std::string& name);
