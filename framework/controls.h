// Thin wrappers of the standard controls the dialog uses. Each is attached
// to an existing dialog control (DDX_Control or SubclassDlgItem).
#pragma once

#include <windows.h>

#include <cstddef>

#include "framework/wnd.h"

class CListBox : public CWnd {
 public:
  int AddString(const char* text);
  int DeleteString(int index);
  int GetCount() const;
  int GetCurSel() const;
  int SetCurSel(int index);
  // The first item equal to `text` ignoring case, or LB_ERR.
  int FindStringExact(int startAfter, const char* text) const;
  // The item's text; FALSE, with an empty text, when it does not fit.
  BOOL GetText(int index, char* text, size_t size) const;
};

class CSpinButtonCtrl : public CWnd {
 public:
  // 16-bit bounds, as UDM_SETRANGE takes them.
  void SetRange(short lower, short upper);
  int SetBase(int base);
  // Only the low 16 bits of `pos` are passed.
  int SetPos(int pos);
};

// An owner-drawn button showing a bitmap per state: normal, pressed,
// focused, disabled. A missing one falls back to the normal bitmap. The
// bitmap is stretched over the whole button, unless a part of it is pinned
// under another window.
class CBitmapButton : public CWnd {
 public:
  CBitmapButton();
  ~CBitmapButton() override;

  // Resource ids; 0 for none. FALSE when the normal bitmap does not load.
  BOOL LoadBitmaps(UINT idNormal, UINT idSelected, UINT idFocus, UINT idDisabled);

  // Draws the bitmap's rectangle `part` exactly under the window `over`,
  // wherever the layout puts it, and the rest around it at the same scale.
  // Where `over` covers the same number of pixels as `part`, the bitmap is
  // drawn unscaled. A null `over` goes back to stretching over the button.
  void PinPart(const RECT& part, HWND over);

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  virtual void DrawItem(const DRAWITEMSTRUCT* dis);

 private:
  void FreeBitmaps();
  // Windows laid over the button (above it and inside it) keep what they
  // show: the bitmap is not drawn under them.
  void ExcludeOverlaidWindows(HDC hDC) const;

  HBITMAP m_hNormal;
  HBITMAP m_hSelected;
  HBITMAP m_hFocus;
  HBITMAP m_hDisabled;
  RECT m_pinnedPart;
  HWND m_hPinnedOver;
};
