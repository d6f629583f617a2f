// Builds BMP files byte by byte, broken ones included: every field is written as given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct BmpFile {
  uint16_t type = 0x4D42;
  uint32_t headerSize = 40;       // 12 writes a core header, anything else the 40-byte one and zeros to its size
  int32_t width = 1, height = 1;  // a core header keeps the low 16 bits
  uint16_t planes = 1, bitCount = 24;
  uint32_t compression = 0, sizeImage = 0, clrUsed = 0;
  std::vector<uint8_t> table, gap, bits;  // the table as it stands, 3 or 4 bytes an entry; the gap before the bits
  bool autoOffBits = true;        // bfOffBits = where the bits start, else offBits
  uint32_t offBits = 0;
  std::vector<uint32_t> masks;    // after a 40-byte header, or in a larger one
  uint32_t colourSpace = 0x73524742, profileAt = 0, profileSize = 0;  // in a V4 or V5 header

  std::vector<uint8_t> Bytes() const;
};

std::vector<uint8_t> ColourTable(int entries, int entrySize);  // distinct entries of 3 or 4 bytes
std::vector<uint8_t> Pattern(size_t count, uint8_t seed = 1);  // differs from row to row
size_t RowBytes(int bitCount, int width);                      // padded, of an uncompressed picture
