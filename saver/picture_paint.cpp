// PictureWnd's drawing: each frame is composed off screen in the frames' DC,
// which keeps the title font and the text colour selected between frames.
#include <string>

#include "picture/paint_geometry.h"
#include "saver/fade_clock.h"
#include "saver/picture_wnd.h"
#include "text/utf.h"

void PictureWnd::SetUpTitleFont() {
  HDC dc = m_frames.Dc();
  if (!dc) return;
  // 18 pixels at 96 dpi, as many points on a denser screen.
  const int height = -MulDiv(18, GetDeviceCaps(m_hDC, LOGPIXELSY), 96);
  m_hFont = CreateFontA(height, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                        "San Serif");
  m_hOldFont = SelectObject(dc, m_hFont);
  SetTextColor(dc, RGB(255, 255, 255));
  SetBkMode(dc, TRANSPARENT);
}

void PictureWnd::Compose(const PreparedPicture* picture, int fadeMs) {
  RECT rc;
  GetWindowRect(m_hWnd, &rc);
  if (!m_frames.Begin(rc.right - rc.left, rc.bottom - rc.top)) return;
  HDC dc = m_frames.Dc();
  const bool drawn = picture && !picture->Empty();
  // Each screen shows the picture as a window of its size would.
  for (int i = 0; drawn && i < m_nScreens; ++i) {
    const RECT& s = m_rcScreens[i];
    const SIZE size = picture->Size();
    const PaintPlacement p = PlacePicture(s.right - s.left, s.bottom - s.top, size.cx, size.cy, Stretched());
    const DibPicture& pic = picture->DrawnAt(p.cxDest, p.cyDest);
    StretchDIBits(dc, s.left + p.xDest, s.top + p.yDest, p.cxDest, p.cyDest, 0, 0, pic.m_nWidth, pic.m_nHeight,
                  pic.m_pBits, pic.m_pInfo, pic.m_wUsage, SRCCOPY);
  }
  if (drawn && !m_bPreview) {  // the preview never shows a title
    const std::wstring title = Wide(picture->Title());
    RECT measured = {0, 0, 0, 0};
    DrawTextW(dc, title.c_str(), int(title.size()), &measured, DT_CALCRECT | DT_CENTER | DT_VCENTER);
    for (int i = 0; i < m_nScreens; ++i) {
      const RECT& s = m_rcScreens[i];
      RECT box = PlaceTitle(s.right - s.left, s.bottom - s.top, measured.right - measured.left,
                            measured.bottom - measured.top);
      OffsetRect(&box, s.left, s.top);
      DrawTextW(dc, title.c_str(), int(title.size()), &box, DT_CENTER | DT_VCENTER);
    }
  }
  // The preview cuts: it changes only when a collection is picked.
  const DWORD now = GetTickCount();
  if (fadeMs < 0) fadeMs = m_bPreview || !drawn ? 0 : FadeMilliseconds(m_settings.Fade, m_settings.ChangeDelay);
  m_frames.Show(fadeMs, now);
  Present(now);
}

void PictureWnd::Present(DWORD now) {
  if (m_frames.Present(m_hDC, now)) {
    SetTimer(m_hWnd, kFadeTimer, 10, nullptr);
  } else {
    KillTimer(m_hWnd, kFadeTimer);
  }
  if (m_bPauseMark) DrawPauseMarks();
}

void PictureWnd::DrawPauseMarks() {
  // Two white bars edged in black, at the top right of each screen, so that
  // they show on a light picture as on a dark one.
  for (int i = 0; i < m_nScreens; ++i) {
    const RECT& s = m_rcScreens[i];
    const int height = (s.bottom - s.top) / 12 + 8, width = height / 3, margin = height / 2;
    for (int bar = 0; bar < 2; ++bar) {
      const int right = s.right - margin - bar * (width + width * 2 / 3);
      RECT r = {right - width, s.top + margin, right, s.top + margin + height};
      RECT edge = r;
      InflateRect(&edge, 2, 2);
      FillRect(m_hDC, &edge, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      FillRect(m_hDC, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
  }
}
