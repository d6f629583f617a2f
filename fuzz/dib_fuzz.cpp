// Feeds arbitrary files to DibPicture::Load and then reads every byte that
// drawing would read, so a block shorter than its header claims shows up.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "picture/dib_picture.h"

namespace {

// The header, the table and every byte of the bits that StretchDIBits and
// the palette would read, checked against the holder's own invariants.
void TouchPicture(const DibPicture& p) {
  if (!p.m_pInfo || !p.m_pBits) {
    if (p.m_pInfo || p.m_pBits || p.m_hMem) abort();
    return;
  }
  const BITMAPINFOHEADER& h = p.m_pInfo->bmiHeader;
  const BYTE* block = reinterpret_cast<const BYTE*>(p.m_pInfo);
  if (h.biSize != 40 || h.biPlanes != 1 || h.biClrUsed != DWORD(p.m_nColors) || p.m_nColors < 0 ||
      p.m_nColors > 256 || h.biWidth != p.m_nWidth || h.biHeight != p.m_nHeight || p.m_nWidth <= 0 ||
      p.m_nHeight <= 0 || p.m_pBits != block + 40 + 4 * p.m_nColors)
    abort();
  int64_t image = h.biCompression == BI_RGB ? (int64_t(h.biBitCount) * h.biWidth + 31) / 32 * 4 * h.biHeight
                  : h.biCompression == BI_RLE8 || h.biCompression == BI_RLE4 ? int64_t(h.biSizeImage)
                                                                              : -1;
  if (image <= 0 || image > (int64_t(256) << 20)) abort();
  volatile unsigned sum = 0;
  for (int64_t i = 0; i < 40 + 4 * int64_t(p.m_nColors); ++i) sum = sum + block[i];
  for (int64_t i = 0; i < image; ++i) sum = sum + p.m_pBits[i];
}

// Pictures of 16 to 256 MiB are legal but take a slow allocation and fill
// each; they add nothing the smaller ones do not exercise.
bool ClaimsSlowPicture(const uint8_t* data, size_t size) {
  if (size < 30 || data[14] != 40) return false;
  auto le32 = [&](size_t at) { return int64_t(int32_t(data[at] | data[at + 1] << 8 | data[at + 2] << 16 |
                                                      uint32_t(data[at + 3]) << 24)); };
  int64_t width = le32(18), height = le32(22), bits = data[28] | data[29] << 8;
  if (height < 0) height = -height;
  if (width <= 0 || width > (1 << 20) || height > (1 << 20)) return false;  // refused anyway
  int64_t image = (bits * width + 31) / 32 * 4 * height;
  return image > (int64_t(16) << 20) && image <= (int64_t(256) << 20);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/lumaro_dib_fuzz_" + std::to_string(getpid()) + ".bmp";
  if (ClaimsSlowPicture(data, size)) return 0;
  FILE* file = fopen(path.c_str(), "wb");
  if (!file) return 0;
  const bool written = fwrite(data, 1, size, file) == size;
  if (fclose(file) != 0 || !written) return 0;
  DibPicture picture;
  // Twice into one holder: the second load releases the first picture.
  for (int round = 0; round < 2; ++round) {
    picture.Load(path.c_str());
    TouchPicture(picture);
  }
  picture.Release();
  if (picture.m_hMem || picture.m_pInfo || picture.m_pBits) abort();
  return 0;
}
