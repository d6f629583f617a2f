// PictureWnd's palette and drawing operations. Everything goes straight
// into the window DC, which keeps the title font, the text colour and the
// current palette selected between paints.
#include <cstdlib>
#include <cstring>

#include "picture/dib_picture.h"
#include "picture/paint_geometry.h"
#include "picture/palette_entries.h"
#include "saver/picture_wnd.h"

void PictureWnd::SetUpTitleFont() {
  // 18 pixels at 96 dpi, as many points on a denser screen.
  const int height = -MulDiv(18, GetDeviceCaps(m_hDC, LOGPIXELSY), 96);
  m_hFont = CreateFontA(height, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                        "San Serif");
  m_hOldFont = SelectObject(m_hDC, m_hFont);
  SetTextColor(m_hDC, RGB(255, 255, 255));
}

void PictureWnd::ReleasePalette() {
  if (!m_hPalette) return;
  SelectPalette(m_hDC, m_hOldPalette, FALSE);
  DeleteObject(m_hPalette);
  m_hPalette = nullptr;
}

BOOL PictureWnd::BuildPalette() {
  int n = m_pPicture->m_nColors;
  if (n <= 0) return TRUE;  // no colour table: the DC keeps its palette

  size_t bytes = sizeof(LOGPALETTE) + static_cast<size_t>(n) * sizeof(PALETTEENTRY);
  LOGPALETTE* record = static_cast<LOGPALETTE*>(malloc(bytes));
  if (!record) return FALSE;
  record->palVersion = 0x300;
  record->palNumEntries = static_cast<WORD>(n);
  const RGBQUAD* table =
      reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(m_pPicture->m_pInfo) + 40);
  FillPaletteEntries(table, n, record->palPalEntry);
  m_hPalette = CreatePalette(record);
  free(record);

  // A palette that could not be made is not selected: the DC keeps its own,
  // and m_hOldPalette keeps naming the palette to give back at the end.
  if (!m_hPalette) return TRUE;
  HPALETTE previous = SelectPalette(m_hDC, m_hPalette, FALSE);
  if (previous) m_hOldPalette = previous;
  RealizePalette(m_hDC);
  return TRUE;
}

BOOL PictureWnd::Stretched() const { return theSettings.FullScreen == 1 || m_bPreview; }

void PictureWnd::PaintPicture() {
  if (!m_hDC || !m_pPicture || !m_pPicture->m_pBits || !m_pPicture->m_pInfo) return;

  RECT rc;
  GetWindowRect(m_hWnd, &rc);
  HGDIOBJ oldBrush = SelectObject(m_hDC, GetStockObject(BLACK_BRUSH));
  PatBlt(m_hDC, 0, 0, rc.right - rc.left, rc.bottom - rc.top, PATCOPY);
  SelectObject(m_hDC, oldBrush);

  // Each screen shows the picture as a window of its size would.
  for (int i = 0; i < m_nScreens; ++i) {
    const RECT& s = m_rcScreens[i];
    const PaintPlacement p =
        PlacePicture(s.right - s.left, s.bottom - s.top, m_sizePicture.cx, m_sizePicture.cy, Stretched());
    const DibPicture& pic = PictureDrawnAt(p.cxDest, p.cyDest);
    StretchDIBits(m_hDC, s.left + p.xDest, s.top + p.yDest, p.cxDest, p.cyDest, 0, 0, pic.m_nWidth, pic.m_nHeight,
                  pic.m_pBits, pic.m_pInfo, pic.m_wUsage, SRCCOPY);
  }

  if (m_bPreview) return;  // the preview never shows a title
  SetBkMode(m_hDC, TRANSPARENT);
  int length = static_cast<int>(strlen(m_szTitle));
  RECT measured = {0, 0, 0, 0};
  DrawTextA(m_hDC, m_szTitle, length, &measured, DT_CALCRECT | DT_CENTER | DT_VCENTER);
  for (int i = 0; i < m_nScreens; ++i) {
    const RECT& s = m_rcScreens[i];
    RECT box = PlaceTitle(s.right - s.left, s.bottom - s.top, measured.right - measured.left,
                          measured.bottom - measured.top);
    OffsetRect(&box, s.left, s.top);
    DrawTextA(m_hDC, m_szTitle, -1, &box, DT_CENTER | DT_VCENTER);
  }
}
