#include "picture/bmp_layout.h"

#include <algorithm>
#include <cstring>

#include "picture/dib_picture.h"

namespace {

const DWORD kCoreHeaderSize = 12;
const DWORD kInfoHeaderSize = 40;
const DWORD kOs2HeaderSize = 64;  // OS/2 2.x: the 40-byte fields, then some of its own we do not need
const DWORD kV4HeaderSize = 108;
const DWORD kV5HeaderSize = 124;
const DWORD kAlphaBitFields = 6;  // BI_ALPHABITFIELDS, which not every SDK names

// Where the larger headers keep their fields, counted from the end of the 40-byte header.
const size_t kColourSpaceAt = 16, kProfileAt = 72;  // the masks come first

// Colour spaces: read and checked, never applied; every picture is taken as sRGB.
const uint32_t kCalibratedRgb = 0, kSrgb = 0x73524742, kWindowsSpace = 0x57696E20;
const uint32_t kProfileLinked = 0x4C494E4B, kProfileEmbedded = 0x4D424544;

// Bounds no real picture reaches. They keep every size product far from
// overflow and stop a small file from claiming a huge block.
const int64_t kMaxDimension = 32768;
const int64_t kMaxImageBytes = int64_t(256) << 20;
const int64_t kMaxColors = 256;

uint32_t Get32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

int64_t RowBytes(int64_t bitCount, int64_t width) { return (bitCount * width + 31) / 32 * 4; }

// Bytes from the current position to the end of the file, or -1.
int64_t BytesLeft(FILE* file) {
  long here = ftell(file);
  if (here < 0 || fseek(file, 0, SEEK_END) != 0) return -1;
  long end = ftell(file);
  if (fseek(file, here, SEEK_SET) != 0 || end < here) return -1;
  return int64_t(end) - here;
}

// A V4 or V5 header's colour space: one the format defines, and a V5 profile, linked or embedded, inside the
// file (its offset counts from the header's start, 14 bytes in). The profile itself is never read.
bool ColourSpaceUsable(const uint8_t* extra, DWORD headerSize, FILE* file) {
  const uint32_t space = Get32(extra + kColourSpaceAt);
  if (space == kCalibratedRgb || space == kSrgb || space == kWindowsSpace) return true;
  if (headerSize != kV5HeaderSize || (space != kProfileLinked && space != kProfileEmbedded)) return false;
  const int64_t end = int64_t(ftell(file)) + BytesLeft(file);  // short of any profile when either fails
  return int64_t(sizeof(BITMAPFILEHEADER)) + Get32(extra + kProfileAt) + Get32(extra + kProfileAt + 4) <= end;
}

bool CheckLayout(BmpLayout& layout, FILE* file) {
  BITMAPINFOHEADER& h = layout.header;
  const int64_t width = h.biWidth;
  const int64_t height = h.biHeight;  // 64 bits: INT_MIN negates safely
  const int64_t absHeight = height < 0 ? -height : height;
  const int bits = h.biBitCount;

  if (width <= 0 || width > kMaxDimension || height == 0 || absHeight > kMaxDimension) return false;

  bool tableBits = bits == 1 || bits == 4 || bits == 8;
  if (!tableBits && bits != 24 && !layout.masked) {
    // 16 and 32 bits draw without a table as plain BI_RGB; masked pixels are widened to it.
    if (layout.core || (bits != 16 && bits != 32) || h.biCompression != BI_RGB) return false;
  }
  if (layout.colors > kMaxColors) return false;
  if (tableBits && layout.colors > (int64_t(1) << bits)) return false;

  // Drawing expands even a compressed picture to its full size.
  layout.fileBitCount = bits;
  layout.fileRowBytes = RowBytes(bits, width);
  layout.rowBytes = layout.masked ? 4 * width : layout.fileRowBytes;
  if (layout.rowBytes * absHeight > kMaxImageBytes) return false;

  switch (h.biCompression) {
    case BI_RGB:
      layout.fileImageBytes = layout.fileRowBytes * absHeight;
      layout.imageBytes = layout.rowBytes * absHeight;
      layout.topDown = height < 0;
      // Stored bottom-up once read, so the header says so too.
      h.biHeight = LONG(absHeight);
      if (layout.masked) h.biBitCount = 32, h.biClrUsed = 0, layout.colors = 0;
      if (!layout.core) h.biSizeImage = DWORD(layout.imageBytes);
      return true;
    case BI_RLE8:
    case BI_RLE4: {
      // Run-length streams are always bottom-up, and the stream must be in
      // the file: a short file cannot claim a large block.
      if (bits != (h.biCompression == BI_RLE8 ? 8 : 4) || height < 0) return false;
      layout.imageBytes = layout.fileImageBytes = h.biSizeImage;
      if (layout.imageBytes == 0 || layout.imageBytes > kMaxImageBytes) return false;
      int64_t left = BytesLeft(file);
      return left >= 0 && layout.tableFileBytes + std::max<int64_t>(layout.gap, 0) + layout.imageBytes <= left;
    }
    default:
      return false;
  }
}

}  // namespace

bool ReadBmpLayout(FILE* file, const BITMAPFILEHEADER& fileHeader, BmpLayout* out) {
  DWORD headerSize = 0;
  if (fread(&headerSize, sizeof headerSize, 1, file) != 1) return false;
  if (headerSize != kCoreHeaderSize && headerSize != kInfoHeaderSize && headerSize != 52 && headerSize != 56 &&
      headerSize != kOs2HeaderSize && headerSize != kV4HeaderSize && headerSize != kV5HeaderSize)
    return false;

  BmpLayout layout = {};
  BITMAPINFOHEADER& h = layout.header;
  h.biSize = kInfoHeaderSize;
  BYTE* rest = reinterpret_cast<BYTE*>(&h) + sizeof h.biSize;
  uint8_t extra[kV5HeaderSize - kInfoHeaderSize] = {};
  const DWORD headerRest = std::min(headerSize, kInfoHeaderSize) - DWORD(sizeof h.biSize);
  if (fread(rest, headerRest, 1, file) != 1) return false;
  if (headerSize > kInfoHeaderSize && fread(extra, headerSize - kInfoHeaderSize, 1, file) != 1) return false;

  layout.core = headerSize == kCoreHeaderSize;
  int64_t maskFileBytes = 0;
  if (layout.core) {
    BITMAPCOREHEADER core;
    core.bcSize = headerSize;
    memcpy(reinterpret_cast<BYTE*>(&core) + sizeof core.bcSize, rest, sizeof core - sizeof core.bcSize);
    if (core.bcPlanes != 1) return false;
    layout.colors = DibPicture::ColorsFromBitCount(core.bcBitCount);
    memset(rest, 0, sizeof h - sizeof h.biSize);
    h.biWidth = core.bcWidth;
    h.biHeight = core.bcHeight;
    h.biPlanes = 1;
    h.biBitCount = core.bcBitCount;
    h.biClrUsed = DWORD(layout.colors);
    layout.tableFileBytes = 3 * layout.colors;
  } else {
    if (h.biPlanes != 1) return false;
    if (h.biClrUsed == 0) h.biClrUsed = DibPicture::ColorsFromBitCount(h.biBitCount);
    layout.colors = h.biClrUsed;
    layout.tableFileBytes = 4 * layout.colors;
    // OS/2 2.x numbers its compressions alike up to run-length; its 3 and 4 are Huffman and 24-bit runs.
    const bool masked = headerSize != kOs2HeaderSize &&
                        (h.biCompression == BI_BITFIELDS || h.biCompression == kAlphaBitFields);
    if (masked) {
      uint32_t masks[4] = {};
      if (headerSize == kInfoHeaderSize) {  // the masks follow the header, where a table would start
        maskFileBytes = h.biCompression == kAlphaBitFields ? 16 : 12;
        if (fread(masks, size_t(maskFileBytes), 1, file) != 1) return false;
      } else {
        for (int i = 0; i < 4; ++i) masks[i] = Get32(extra + 4 * i);  // a 52-byte header's alpha is one of the zeros
      }
      layout.masks = PixelMasks{masks[0], masks[1], masks[2], masks[3]};
      if (!MasksUsable(layout.masks, h.biBitCount)) return false;
      layout.masked = true;
      h.biCompression = BI_RGB;
    }
    if (headerSize >= kV4HeaderSize && !ColourSpaceUsable(extra, headerSize, file)) return false;
  }

  // Distance from the end of the colour table to the bits; never backward.
  if (fileHeader.bfOffBits != 0)
    layout.gap = int64_t(fileHeader.bfOffBits) - int64_t(sizeof fileHeader) - headerSize - maskFileBytes -
                 layout.tableFileBytes;
  if (!CheckLayout(layout, file)) return false;
  *out = layout;
  return true;
}
