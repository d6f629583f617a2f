#include "picture/dib_picture.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "picture/bmp_layout.h"
#include "text/named_file.h"

namespace {

const DWORD kInfoHeaderSize = 40;
const WORD kBmpSignature = 0x4D42;  // "BM"

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

const uint32_t* DibPicture::TopRow32(ptrdiff_t* stride) const {
  if (!m_pInfo || !m_pBits || m_pInfo->bmiHeader.biBitCount != 32 || m_pInfo->bmiHeader.biCompression != BI_RGB)
    return nullptr;
  const uint32_t* pixels = reinterpret_cast<const uint32_t*>(m_pBits);
  const bool bottomUp = m_pInfo->bmiHeader.biHeight > 0;
  *stride = bottomUp ? -ptrdiff_t(m_nWidth) : ptrdiff_t(m_nWidth);
  return bottomUp ? pixels + size_t(m_nHeight - 1) * m_nWidth : pixels;
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

BOOL DibPicture::Load(const char* path, SizeNeeded needed, void* context, PhotoMeta* meta) {
  FILE* file = OpenNamedFile(path, "rb");
  if (!file) return FALSE;
  FileCloser closer(file);

  // A BMP our reader refuses may be one the system's decoder knows: a JPEG or PNG inside, or a compression
  // of another kind. Ours goes first, as it bounds every field before it allocates.
  BITMAPFILEHEADER fileHeader;
  BmpLayout layout = {};
  if (fread(&fileHeader, sizeof fileHeader, 1, file) != 1 || fileHeader.bfType != kBmpSignature ||
      !ReadBmpLayout(file, fileHeader, &layout))
    return LoadPhoto(file, path, needed, context, meta);
  const BITMAPINFOHEADER& h = layout.header;

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

  // The table of masked pixels is not kept: they are drawn as 32-bit pixels.
  const int64_t skip = std::max<int64_t>(layout.gap, 0) + (layout.masked ? layout.tableFileBytes : 0);
  const size_t fileBytes = size_t(layout.fileImageBytes);
  size_t got = 0;
  if (skip == 0 || (skip <= 0x7FFFFFFF && fseek(file, long(skip), SEEK_CUR) == 0)) got = fread(m_pBits, 1, fileBytes, file);
  // Bits the file did not hold become zeros rather than whatever the heap
  // held before, so a partly read picture never shows stale memory.
  if (got < fileBytes) memset(m_pBits + got, 0, fileBytes - got);
  if (layout.masked)
    UnmaskPixels(m_pBits, m_nWidth, m_nHeight, size_t(layout.fileRowBytes), layout.fileBitCount, layout.masks);
  if (layout.topDown) FlipRows(m_pBits, layout.rowBytes, m_nHeight);
  return got == fileBytes ? TRUE : FALSE;
}
