// The frames a picture window shows. Each is composed whole, off screen, in
// a 32-bit section of the window's size; on screen goes the newest or,
// while a fade runs, the newest mixed over the one before as far as the
// clock says. Every paint, a repaint or a fade's frame, goes through Present.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

class ShowFrames {
 public:
  ShowFrames();
  ~ShowFrames() { Destroy(); }
  ShowFrames(const ShowFrames&) = delete;
  ShowFrames& operator=(const ShowFrames&) = delete;

  // The drawing DC, compatible with `hdc`; FALSE when it cannot be had.
  BOOL Create(HDC hdc);
  void Destroy();
  // Where on the window the frames go: their top left corner.
  void SetOrigin(POINT origin) { m_ptOrigin = origin; }
  HDC Dc() const { return m_hDC; }

  // Selects a frame of `width` x `height`, filled black, into Dc() to be
  // drawn; FALSE (and nothing selected) when it cannot be had. A fade still
  // running ends: the new frame fades in over the newest.
  BOOL Begin(int width, int height);
  // The pixels of the frame Begin selected: top-down rows of its width.
  uint32_t* Bits() const { return m_nNext < 0 ? nullptr : m_aFrames[m_nNext].bits; }
  // The frame drawn since Begin becomes the newest, fading in over the one
  // before for `fadeMs` from `now` when there is one of the same size.
  void Show(int fadeMs, DWORD now);
  // Draws what the screen shows at `now` into `hdc`; TRUE while the fade
  // goes on. Nothing before the first frame.
  BOOL Present(HDC hdc, DWORD now);

  // Whether the frame before the newest still shows at `now`.
  BOOL Fading(DWORD now) const;
  // Selects the newest frame, or the one it fades in over, into Dc() to be
  // drawn again; its pixels and size, or null when there is none.
  uint32_t* Select(bool older, int* width, int* height);

 private:
  struct Frame {
    HBITMAP bitmap;
    uint32_t* bits;  // top-down rows
    int width, height;
  };
  BOOL Fit(Frame& frame, int width, int height);
  void Put(HDC hdc, const uint32_t* bits, int width, int top, int rows);

  Frame m_aFrames[2];
  int m_nShown;  // the newest frame shown, or -1
  int m_nNext;   // the frame Begin selected, or -1
  HDC m_hDC;
  POINT m_ptOrigin = {0, 0};
  HGDIOBJ m_hOldBitmap;
  BOOL m_bFading;
  DWORD m_dwFadeStart;
  int m_nFadeMs;
  std::vector<uint32_t> m_band;  // a band of mixed rows on its way to the screen
};
