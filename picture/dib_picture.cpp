#include "picture/dib_picture.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "text/named_file.h"

namespace {

const DWORD kCoreHeaderSize = 12;
const DWORD kInfoHeaderSize = 40;
const WORD kBmpSignature = 0x4D42;  // "BM"

// Bounds no real picture reaches. They keep every size product far from
// overflow and stop a small file from claiming a huge block.
const int64_t kMaxDimension = 32768;
const int64_t kMaxImageBytes = int64_t(256) << 20;
const int64_t kMaxColors = 256;

// Closes the file on every way out of Load.
class FileCloser {
 public:
  explicit FileCloser(FILE* file) : m_pFile(file) {}
  ~FileCloser() { fclose(m_pFile); }
  FileCloser(const FileCloser&) = delete;
  FileCloser& operator=(const FileCloser&) = delete;

 private:
  FILE* m_pFile;
};

// What the headers say, checked, before anything in the holder changes.
struct Layout {
  BITMAPINFOHEADER header;  // the 40-byte header as it goes into the block
  bool core;
  bool topDown;             // rows stored top row first; flipped after reading
  int64_t colors;
  int64_t tableFileBytes;   // 3 or 4 bytes per entry, by header kind
  int64_t imageBytes;
  int64_t rowBytes;
};

int64_t RowBytes(int64_t bitCount, int64_t width) { return (bitCount * width + 31) / 32 * 4; }

// Bytes from the current position to the end of the file, or -1.
int64_t BytesLeft(FILE* file) {
  long here = ftell(file);
  if (here < 0 || fseek(file, 0, SEEK_END) != 0) return -1;
  long end = ftell(file);
  if (fseek(file, here, SEEK_SET) != 0 || end < here) return -1;
  return int64_t(end) - here;
}

bool CheckLayout(Layout& layout, FILE* file, int64_t gap) {
  BITMAPINFOHEADER& h = layout.header;
  const int64_t width = h.biWidth;
  const int64_t height = h.biHeight;  // 64 bits: INT_MIN negates safely
  const int64_t absHeight = height < 0 ? -height : height;
  const WORD bits = h.biBitCount;

  if (width <= 0 || width > kMaxDimension || height == 0 || absHeight > kMaxDimension) return false;

  bool tableBits = bits == 1 || bits == 4 || bits == 8;
  if (!tableBits && bits != 24) {
    // 16 and 32 bits draw without a table, but only as plain BI_RGB: the
    // masks of BI_BITFIELDS would be read from where the table is not.
    if (layout.core || (bits != 16 && bits != 32) || h.biCompression != BI_RGB) return false;
  }
  if (layout.colors > kMaxColors) return false;
  if (tableBits && layout.colors > (int64_t(1) << bits)) return false;

  // Drawing expands even a compressed picture to its full size.
  layout.rowBytes = RowBytes(bits, width);
  if (layout.rowBytes * absHeight > kMaxImageBytes) return false;

  switch (h.biCompression) {
    case BI_RGB:
      layout.imageBytes = layout.rowBytes * absHeight;
      layout.topDown = height < 0;
      // Stored bottom-up once read, so the header says so too.
      h.biHeight = LONG(absHeight);
      if (!layout.core) h.biSizeImage = DWORD(layout.imageBytes);
      return true;
    case BI_RLE8:
    case BI_RLE4: {
      // Run-length streams are always bottom-up, and the stream must be in
      // the file: a short file cannot claim a large block.
      if (bits != (h.biCompression == BI_RLE8 ? 8 : 4) || height < 0) return false;
      layout.imageBytes = h.biSizeImage;
      if (layout.imageBytes == 0 || layout.imageBytes > kMaxImageBytes) return false;
      int64_t left = BytesLeft(file);
      return left >= 0 && layout.tableFileBytes + std::max<int64_t>(gap, 0) + layout.imageBytes <= left;
    }
    default:
      return false;
  }
}

// Swaps rows end for end, so a top-down picture becomes bottom-up. Through
// a small buffer with memcpy: a byte-by-byte swap of 256 MiB is slow.
void FlipRows(BYTE* bits, int64_t rowBytes, int64_t rows) {
  BYTE chunk[4096];
  for (int64_t top = 0, bottom = rows - 1; top < bottom; ++top, --bottom) {
    BYTE* upper = bits + top * rowBytes;
    BYTE* lower = bits + bottom * rowBytes;
    for (int64_t done = 0; done < rowBytes; done += int64_t(sizeof chunk)) {
      const size_t n = size_t(std::min<int64_t>(int64_t(sizeof chunk), rowBytes - done));
      memcpy(chunk, upper + done, n);
      memcpy(upper + done, lower + done, n);
      memcpy(lower + done, chunk, n);
    }
  }
}

}  // namespace

DibPicture::DibPicture()
    : m_hMem(nullptr),
      m_pInfo(nullptr),
      m_pBits(nullptr),
      m_nColors(0),
      m_nWidth(0),
      m_nHeight(0),
      m_wUsage(DIB_RGB_COLORS),
      m_bCoreHeader(0) {
  m_sizeSource.cx = m_sizeSource.cy = 0;
}

DibPicture::~DibPicture() { Release(); }

DibPicture::DibPicture(DibPicture&& other) noexcept : DibPicture() { other.MoveTo(*this); }

DibPicture& DibPicture::operator=(DibPicture&& other) noexcept {
  if (&other != this) other.MoveTo(*this);
  return *this;
}

void DibPicture::MoveTo(DibPicture& other) {
  other.Release();
  other.m_hMem = m_hMem;
  other.m_pInfo = m_pInfo;
  other.m_pBits = m_pBits;
  other.m_nColors = m_nColors;
  other.m_nWidth = m_nWidth;
  other.m_nHeight = m_nHeight;
  other.m_wUsage = m_wUsage;
  other.m_bCoreHeader = m_bCoreHeader;
  other.m_sizeSource = m_sizeSource;
  m_hMem = nullptr;  // the block is the other's now: not given back here
  Release();
}

int DibPicture::ColorsFromBitCount(WORD bitCount) {
  switch (bitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
  }
}

void DibPicture::Release() {
  if (m_hMem) {
    GlobalUnlock(m_hMem);
    GlobalFree(m_hMem);
  }
  m_hMem = nullptr;
  m_pInfo = nullptr;
  m_pBits = nullptr;
  m_nColors = 0;
  m_nWidth = 0;
  m_nHeight = 0;
  m_bCoreHeader = 0;
  m_sizeSource.cx = m_sizeSource.cy = 0;
}

BOOL DibPicture::Load(const char* path, SizeNeeded needed, void* context) {
  FILE* file = OpenNamedFile(path, "rb");
  if (!file) return FALSE;
  FileCloser closer(file);

  BITMAPFILEHEADER fileHeader;
  if (fread(&fileHeader, sizeof fileHeader, 1, file) != 1 || fileHeader.bfType != kBmpSignature)
    return LoadPhoto(file, path, needed, context);
  const bool hasOffset = fileHeader.bfOffBits != 0;
  const int64_t bitsOffset = int64_t(fileHeader.bfOffBits) - int64_t(sizeof fileHeader);

  DWORD headerSize = 0;
  if (fread(&headerSize, sizeof headerSize, 1, file) != 1) return FALSE;
  if (headerSize != kCoreHeaderSize && headerSize != kInfoHeaderSize) return FALSE;

  Layout layout = {};
  BITMAPINFOHEADER& h = layout.header;
  h.biSize = kInfoHeaderSize;
  BYTE* rest = reinterpret_cast<BYTE*>(&h) + sizeof h.biSize;
  if (fread(rest, headerSize - sizeof h.biSize, 1, file) != 1) return FALSE;

  layout.core = headerSize == kCoreHeaderSize;
  if (layout.core) {
    BITMAPCOREHEADER core;
    core.bcSize = headerSize;
    memcpy(reinterpret_cast<BYTE*>(&core) + sizeof core.bcSize, rest, sizeof core - sizeof core.bcSize);
    if (core.bcPlanes != 1) return FALSE;
    layout.colors = ColorsFromBitCount(core.bcBitCount);
    memset(rest, 0, sizeof h - sizeof h.biSize);
    h.biWidth = core.bcWidth;
    h.biHeight = core.bcHeight;
    h.biPlanes = 1;
    h.biBitCount = core.bcBitCount;
    h.biClrUsed = DWORD(layout.colors);
    layout.tableFileBytes = 3 * layout.colors;
  } else {
    if (h.biPlanes != 1) return FALSE;
    if (h.biClrUsed == 0) h.biClrUsed = ColorsFromBitCount(h.biBitCount);
    layout.colors = h.biClrUsed;
    layout.tableFileBytes = 4 * layout.colors;
  }

  // Distance from the end of the colour table to the bits; never backward.
  const int64_t gap = hasOffset ? bitsOffset - headerSize - layout.tableFileBytes : 0;
  if (!CheckLayout(layout, file, gap)) return FALSE;

  // The old picture goes before the new block is taken; from here on a
  // failure leaves the holder empty or, for short bits, partly filled.
  Release();
  const int64_t tableBytes = 4 * layout.colors;
  m_hMem = GlobalAlloc(GMEM_MOVEABLE, size_t(kInfoHeaderSize + tableBytes + layout.imageBytes));
  if (!m_hMem) return FALSE;
  BYTE* block = static_cast<BYTE*>(GlobalLock(m_hMem));
  if (!block) {
    GlobalFree(m_hMem);
    m_hMem = nullptr;
    return FALSE;
  }
  memcpy(block, &h, sizeof h);

  BYTE* table = block + kInfoHeaderSize;
  if (tableBytes != 0 && fread(table, size_t(layout.tableFileBytes), 1, file) != 1) {
    GlobalUnlock(m_hMem);
    GlobalFree(m_hMem);
    m_hMem = nullptr;
    return FALSE;
  }
  if (layout.core) {
    // From the last entry down: each entry moves to a place at or beyond
    // its own, so the entries not yet moved stay intact.
    for (int64_t i = layout.colors - 1; i >= 0; --i) {
      table[4 * i + 2] = table[3 * i + 2];
      table[4 * i + 1] = table[3 * i + 1];
      table[4 * i] = table[3 * i];
      table[4 * i + 3] = 0;
    }
  }

  m_pInfo = reinterpret_cast<BITMAPINFO*>(block);
  m_pBits = table + tableBytes;
  m_nColors = int(layout.colors);
  m_nWidth = h.biWidth;
  m_nHeight = h.biHeight;
  m_wUsage = DIB_RGB_COLORS;
  m_bCoreHeader = layout.core ? 1 : 0;
  m_sizeSource.cx = m_nWidth;
  m_sizeSource.cy = m_nHeight;

  const size_t imageBytes = size_t(layout.imageBytes);
  size_t got = 0;
  bool positioned = true;
  if (gap > 0)
    positioned = gap <= 0x7FFFFFFF && fseek(file, long(gap), SEEK_CUR) == 0;
  if (positioned) got = fread(m_pBits, 1, imageBytes, file);
  // Bits the file did not hold become zeros rather than whatever the heap
  // held before, so a partly read picture never shows stale memory.
  if (got < imageBytes) memset(m_pBits + got, 0, imageBytes - got);
  if (layout.topDown) FlipRows(m_pBits, layout.rowBytes, m_nHeight);
  return got == imageBytes ? TRUE : FALSE;
}
