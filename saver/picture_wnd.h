// The window that shows the pictures: a one-second timer counts ticks and
// every ChangeDelay ticks the next picture of the current collection is
// loaded and drawn. Full screen (preview flag 0) it advances and remembers
// the picture number; as the dialog's preview (flag 1) it shows picture 1
// of whichever collection is current.
#pragma once

#include <windows.h>

#include "saver/saver_wnd.h"
#include "settings/saver_settings.h"

class DibPicture;

class PictureWnd : public SaverWnd {
 public:
  explicit PictureWnd(BOOL bPreview);
  ~PictureWnd() override;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
  void OnTimer();

  // Drawing (picture_paint.cpp).
  void SetUpTitleFont();
  void ReleasePalette();
  BOOL BuildPalette();
  void PaintPicture();
  BOOL Stretched() const;

  HFONT m_hFont;
  HGDIOBJ m_hOldFont;
  HPALETTE m_hPalette;
  HPALETTE m_hOldPalette;
  HDC m_hDC;
  DibPicture* m_pPicture;
  short m_nTicks;
  short m_cxClient;
  short m_cyClient;
  char m_szTitle[256];
  BOOL m_bPreview;
  char m_szSetName[kNameSize];
};
