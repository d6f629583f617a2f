#include "saver/show_frames.h"

#include <algorithm>

#include "picture/blend.h"
#include "saver/fade_clock.h"

namespace {
const int kBandRows = 64;  // a fade's frame goes out in bands: no third whole frame
const DWORD kFrameMs = 16;  // a frame at 60 Hz

BITMAPINFO TopDown32(int width, int height) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}
}  // namespace

ShowFrames::ShowFrames()
    : m_aFrames{}, m_nShown(-1), m_nNext(-1), m_hDC(nullptr), m_hOldBitmap(nullptr), m_bFading(FALSE),
      m_dwFadeStart(0), m_nFadeMs(0) {}

BOOL ShowFrames::Create(HDC hdc) {
  m_hDC = CreateCompatibleDC(hdc);
  return m_hDC != nullptr;
}

void ShowFrames::Destroy() {
  if (m_hDC && m_hOldBitmap) SelectObject(m_hDC, m_hOldBitmap);
  m_hOldBitmap = nullptr;
  for (Frame& frame : m_aFrames) {
    if (frame.bitmap) DeleteObject(frame.bitmap);
    frame = Frame{};
  }
  if (m_hDC) DeleteDC(m_hDC);
  m_hDC = nullptr;
  m_nShown = m_nNext = -1;
  m_bFading = FALSE;
}

BOOL ShowFrames::Fit(Frame& frame, int width, int height) {
  if (frame.bitmap && frame.width == width && frame.height == height) return TRUE;
  if (frame.bitmap) {
    if (m_hOldBitmap) SelectObject(m_hDC, m_hOldBitmap);  // it may be the one selected
    m_hOldBitmap = nullptr;
    DeleteObject(frame.bitmap);
    frame = Frame{};
  }
  const BITMAPINFO info = TopDown32(width, height);
  void* bits = nullptr;
  frame.bitmap = CreateDIBSection(m_hDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!frame.bitmap) return FALSE;
  frame.bits = static_cast<uint32_t*>(bits);
  frame.width = width;
  frame.height = height;
  return TRUE;
}

BOOL ShowFrames::Begin(int width, int height) {
  m_nNext = -1;
  if (!m_hDC || width < 1 || height < 1) return FALSE;
  m_bFading = FALSE;  // the newest is the one the next fade starts from
  const int next = m_nShown == 0 ? 1 : 0;
  if (!Fit(m_aFrames[next], width, height)) return FALSE;
  HGDIOBJ old = SelectObject(m_hDC, m_aFrames[next].bitmap);
  if (!m_hOldBitmap) m_hOldBitmap = old;
  PatBlt(m_hDC, 0, 0, width, height, BLACKNESS);
  m_nNext = next;
  return TRUE;
}

void ShowFrames::Show(int fadeMs, DWORD now) {
  if (m_nNext < 0) return;
  GdiFlush();  // what GDI drew is in the bits before they are read
  const int before = m_nShown;
  m_nShown = m_nNext;
  m_nNext = -1;
  const Frame &from = m_aFrames[before < 0 ? m_nShown : before], &to = m_aFrames[m_nShown];
  m_bFading = fadeMs > 0 && before >= 0 && from.width == to.width && from.height == to.height;
  // The frame drawn at once is the fade's first step, not the old frame again.
  m_dwFadeStart = now - kFrameMs;
  m_nFadeMs = fadeMs;
}

void ShowFrames::Put(HDC hdc, const uint32_t* bits, int width, int top, int rows) {
  const BITMAPINFO info = TopDown32(width, rows);
  SetDIBitsToDevice(hdc, m_ptOrigin.x, m_ptOrigin.y + top, DWORD(width), DWORD(rows), 0, 0, 0, UINT(rows), bits, &info, DIB_RGB_COLORS);
}

BOOL ShowFrames::Fading(DWORD now) const {
  return m_nShown >= 0 && m_bFading && FadeLevel(now - m_dwFadeStart, m_nFadeMs) < 256;
}

uint32_t* ShowFrames::Select(bool older, int* width, int* height) {
  if (m_nShown < 0) return nullptr;
  const Frame& frame = m_aFrames[older ? 1 - m_nShown : m_nShown];
  if (!frame.bitmap) return nullptr;
  HGDIOBJ old = SelectObject(m_hDC, frame.bitmap);
  if (!m_hOldBitmap) m_hOldBitmap = old;
  *width = frame.width;
  *height = frame.height;
  return frame.bits;
}

BOOL ShowFrames::Present(HDC hdc, DWORD now) {
  if (m_nShown < 0) return FALSE;
  const Frame& to = m_aFrames[m_nShown];
  const int level = m_bFading ? FadeLevel(now - m_dwFadeStart, m_nFadeMs) : 256;
  if (level >= 256) {
    m_bFading = FALSE;
    Put(hdc, to.bits, to.width, 0, to.height);
    return FALSE;
  }
  const Frame& from = m_aFrames[1 - m_nShown];
  m_band.resize(size_t(to.width) * kBandRows);
  for (int top = 0; top < to.height; top += kBandRows) {
    const int rows = std::min(kBandRows, to.height - top);
    const size_t first = size_t(top) * to.width, count = size_t(rows) * to.width;
    BlendPixels(from.bits + first, to.bits + first, m_band.data(), count, level);
    Put(hdc, m_band.data(), to.width, top, rows);
  }
  return TRUE;
}
