// What a picture holder must be after any load, preparation or release, whatever the file held: empty, or a
// block StretchDIBits can draw. Shared by the unit tests and the fuzz target.
#pragma once

#include <cstdint>

#include "picture/dib_picture.h"

inline bool IsEmpty(const DibPicture& p) {
  return !p.m_hMem && !p.m_pInfo && !p.m_pBits && !p.m_nColors && !p.m_nWidth && !p.m_nHeight && !p.m_bCoreHeader;
}

// The bytes drawing reads from m_pBits: 0 for an empty holder, -1 for one that is neither empty nor drawable.
inline int64_t DrawnBytes(const DibPicture& p) {
  if (!p.m_pInfo) return IsEmpty(p) ? 0 : -1;
  const BITMAPINFOHEADER& h = p.m_pInfo->bmiHeader;
  const int64_t image = h.biCompression ? h.biSizeImage : (int64_t(h.biBitCount) * h.biWidth + 31) / 32 * 4 * h.biHeight;
  const bool drawable = h.biSize == 40 && h.biPlanes == 1 && h.biClrUsed == DWORD(p.m_nColors) && h.biWidth == p.m_nWidth &&
                        h.biHeight == p.m_nHeight && p.m_wUsage == DIB_RGB_COLORS && p.m_hMem && p.m_nWidth > 0 &&
                        p.m_nHeight > 0 && p.m_nColors >= 0 && p.m_nColors <= 256 &&
                        p.m_pBits == reinterpret_cast<const BYTE*>(p.m_pInfo) + 40 + 4 * p.m_nColors && image > 0 &&
                        image <= int64_t(256) << 20;
  return drawable ? image : -1;
}
