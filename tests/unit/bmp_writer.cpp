#include "unit/bmp_writer.h"

static void Put(std::vector<uint8_t>& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

std::vector<uint8_t> BmpFile::Bytes() const {
  std::vector<uint8_t> header, out;
  Put(header, headerSize, 4);
  for (int32_t v : {width, height}) Put(header, uint32_t(v), headerSize == 12 ? 2 : 4);
  Put(header, planes | uint32_t(bitCount) << 16, 4);
  for (uint32_t v : {compression, sizeImage, 2835u, 2835u, clrUsed, 0u})
    if (headerSize != 12) Put(header, v, 4);
  std::vector<uint32_t> after = masks;
  if (headerSize > 40) after.resize((headerSize - 40) / 4);
  if (after.size() >= 5) after[4] = colourSpace;
  if (after.size() >= 20) after[18] = profileAt, after[19] = profileSize;
  for (uint32_t v : after) Put(header, v, 4);
  const size_t bitsAt = 14 + header.size() + table.size() + gap.size();
  Put(out, type, 2);
  for (size_t v : {bitsAt + bits.size(), size_t(0), autoOffBits ? bitsAt : offBits}) Put(out, uint32_t(v), 4);
  const std::vector<uint8_t>* parts[] = {&header, &table, &gap, &bits};
  for (const auto* part : parts) out.insert(out.end(), part->begin(), part->end());
  return out;
}

std::vector<uint8_t> ColourTable(int entries, int entrySize) {
  std::vector<uint8_t> out;
  for (int i = 0; i < entries * entrySize; ++i)  // blue i, green 7i + 1, red 13i + 2, reserved 0x5A
    out.push_back(uint8_t(i % entrySize == 3 ? 0x5A : i / entrySize * (6 * (i % entrySize) + 1) + i % entrySize));
  return out;
}

std::vector<uint8_t> Pattern(size_t count, uint8_t seed) {
  std::vector<uint8_t> out;
  for (size_t i = 0; i < count; ++i) out.push_back(uint8_t(i * 31 + seed));
  return out;
}

size_t RowBytes(int bitCount, int width) { return (size_t(bitCount) * size_t(width) + 31) / 32 * 4; }
