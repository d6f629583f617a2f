// The window that shows the pictures: a one-second timer counts ticks and
// every ChangeDelay ticks the next picture of the current collection is
// loaded and drawn. Full screen (preview flag 0) it advances and remembers
// the picture number; as the dialog's preview (flag 1) it shows picture 1
// of whichever collection is current. Full screen it covers every monitor
// and draws the picture and its title on each, placed in that monitor's
// rectangle.
#pragma once

#include <windows.h>

#include "picture/dib_picture.h"
#include "saver/saver_wnd.h"
#include "saver/screen_layout.h"
#include "settings/saver_settings.h"

class PictureWnd : public SaverWnd {
 public:
  explicit PictureWnd(BOOL bPreview);
  ~PictureWnd() override;

  // Shows picture 1 of the current collection now, also when its name is
  // the one shown (its file may have changed); nothing when there is none.
  void ShowCurrentAgain();

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
  void OnTimer();
  void FindScreens();
  void PrepareForScreens();
  const DibPicture& PictureDrawnAt(int width, int height) const;
  static SIZE SizeNeeded(void* context, int width, int height);

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
  // The loaded picture made at the sizes other screens draw it at.
  DibPicture m_aSized[kMaxScreens - 1];
  SIZE m_sizePicture;  // as loaded: placements are worked out from it
  RECT m_rcScreens[kMaxScreens];  // client coordinates
  int m_nScreens;
  short m_nTicks;
  short m_cxClient;
  short m_cyClient;
  char m_szTitle[256];
  BOOL m_bPreview;
  char m_szSetName[kNameSize];
};
