// DibPicture::Prepare: the held picture remade at the size it is drawn at.
#include <cstdint>
#include <cstring>

#include "picture/dib_picture.h"
#include "picture/resample.h"

namespace {

const int64_t kMaxPreparedBytes = int64_t(256) << 20;  // the loader's bound on a picture's bits

// An uncompressed picture read row by row as 32-bit pixels.
struct RowSource {
  const BITMAPINFOHEADER* header;
  const RGBQUAD* table;
  int colors;
  const BYTE* bits;
  size_t rowBytes;
};

void PutTableEntry(const RowSource& s, unsigned index, uint8_t* out) {
  // A table may be shorter than the bit count allows: such indexes are black.
  const RGBQUAD black = {0, 0, 0, 0};
  const RGBQUAD& q = index < unsigned(s.colors) ? s.table[index] : black;
  out[0] = q.rgbBlue, out[1] = q.rgbGreen, out[2] = q.rgbRed;
}

// 24- and 32-bit rows are handed over as they stand; the others are widened
// to four bytes a pixel in `scratch`.
const uint8_t* ReadRow(void* context, int row, uint8_t* scratch) {
  const RowSource& s = *static_cast<const RowSource*>(context);
  const BYTE* p = s.bits + size_t(row) * s.rowBytes;
  const int width = s.header->biWidth;
  const int bits = s.header->biBitCount;
  if (bits >= 24) return p;
  for (int x = 0; x < width; ++x, scratch += 4) {
    if (bits == 16) {  // 5-5-5, each widened to 8 bits as GDI does
      const unsigned v = p[2 * x] | p[2 * x + 1] << 8;
      for (int c = 0; c < 3; ++c) {
        const unsigned five = (v >> (5 * c)) & 31;  // blue, green, red
        scratch[c] = uint8_t(five << 3 | five >> 2);
      }
    } else {
      const int bit = x * bits;
      PutTableEntry(s, (p[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1), scratch);
    }
  }
  return scratch - size_t(width) * 4;
}

}  // namespace

BOOL DibPicture::Prepare(int width, int height) { return PrepareFrom(*this, width, height); }

BOOL DibPicture::PrepareFrom(const DibPicture& source, int width, int height) {
  if (!source.m_pInfo || !source.m_pBits) return FALSE;
  if (&source == this && width == m_nWidth && height == m_nHeight) return TRUE;
  const BITMAPINFOHEADER& h = source.m_pInfo->bmiHeader;
  if (h.biCompression != BI_RGB) return FALSE;
  if (width < 1 || height < 1 || int64_t(width) * height * 4 > kMaxPreparedBytes) return FALSE;

  const size_t imageBytes = size_t(width) * size_t(height) * 4;
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + imageBytes);
  if (!mem) return FALSE;
  BYTE* block = static_cast<BYTE*>(GlobalLock(mem));
  RowSource rows = {&h, reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(source.m_pInfo) + h.biSize),
                    source.m_nColors, source.m_pBits, size_t((int64_t(h.biBitCount) * source.m_nWidth + 31) / 32 * 4)};
  BYTE* bits = block + sizeof(BITMAPINFOHEADER);
  const int channels = h.biBitCount == 24 ? 3 : 4;
  if (!block || !ResamplePixels(source.m_nWidth, source.m_nHeight, channels, ReadRow, &rows,
                                reinterpret_cast<uint32_t*>(bits), width, height)) {
    if (block) GlobalUnlock(mem);
    GlobalFree(mem);
    return FALSE;
  }
  BITMAPINFOHEADER prepared = {};
  prepared.biSize = sizeof prepared;
  prepared.biWidth = width;
  prepared.biHeight = height;
  prepared.biPlanes = 1;
  prepared.biBitCount = 32;
  prepared.biCompression = BI_RGB;
  prepared.biSizeImage = DWORD(imageBytes);
  memcpy(block, &prepared, sizeof prepared);

  const SIZE sourceSize = source.m_sizeSource;  // the source may be this holder
  Release();
  m_sizeSource = sourceSize;
  m_hMem = mem;
  m_pInfo = reinterpret_cast<BITMAPINFO*>(block);
  m_pBits = bits;
  m_nWidth = width;
  m_nHeight = height;
  return TRUE;
}
