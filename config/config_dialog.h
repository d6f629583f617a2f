// The configuration dialog: the collection list with a live preview of the
// selected one, the two delays with their arrows and the three options.
// It edits theSettings in place; the caller saves them after IDOK.
#pragma once

#include <windows.h>

#include "framework/controls.h"
#include "framework/dialog.h"
#include "saver/picture_wnd.h"

class ConfigDialog : public CDialog {
 public:
  // With an owner it is modal to that window (the screen-saver host's
  // Settings button passes one) and centred over it.
  explicit ConfigDialog(HWND hWndOwner);
  ~ConfigDialog() override;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

 private:
  void OnSelChangeCollections();

  PictureWnd m_wndPreview;
  CBitmapButton m_btnMonitor;
  CListBox m_lbCollections;
  CSpinButtonCtrl m_spinStartDelay;
  CSpinButtonCtrl m_spinChangeDelay;
};
