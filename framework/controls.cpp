#include "framework/controls.h"

#include <commctrl.h>

#include <cstring>
#include <initializer_list>
#include <string>

#include "framework/app_base.h"
#include "framework/dialog.h"
#include "framework/stretch_bands.h"
#include "text/utf.h"

// The list keeps its items in UTF-16 whatever the dialog is: its texts go
// through the wide messages.
int CListBox::AddString(const char* text) {
  return static_cast<int>(::SendMessageW(m_hWnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(text).c_str())));
}

int CListBox::DeleteString(int index) {
  return static_cast<int>(SendMessage(LB_DELETESTRING, static_cast<WPARAM>(index)));
}

int CListBox::GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }

int CListBox::GetCurSel() const { return static_cast<int>(SendMessage(LB_GETCURSEL)); }

int CListBox::SetCurSel(int index) {
  return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(index)));
}

int CListBox::FindStringExact(int startAfter, const char* text) const {
  return static_cast<int>(::SendMessageW(m_hWnd, LB_FINDSTRINGEXACT, static_cast<WPARAM>(startAfter),
                                        reinterpret_cast<LPARAM>(Wide(text).c_str())));
}

BOOL CListBox::GetText(int index, char* text, size_t size) const {
  if (size == 0) return FALSE;
  text[0] = '\0';
  // LB_GETTEXT writes without a bound: measure first.
  const LRESULT len = ::SendMessageW(m_hWnd, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (len == LB_ERR) return FALSE;
  std::wstring wide(static_cast<size_t>(len) + 1, L'\0');
  if (::SendMessageW(m_hWnd, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&wide[0])) == LB_ERR)
    return FALSE;
  const std::string utf8 = Narrow(wide.c_str());
  if (utf8.size() >= size) return FALSE;
  memcpy(text, utf8.c_str(), utf8.size() + 1);
  return TRUE;
}

void CSpinButtonCtrl::SetRange(short lower, short upper) {
  SendMessage(UDM_SETRANGE, 0, MAKELPARAM(static_cast<WORD>(upper), static_cast<WORD>(lower)));
}

int CSpinButtonCtrl::SetBase(int base) {
  return static_cast<int>(SendMessage(UDM_SETBASE, static_cast<WPARAM>(base)));
}

int CSpinButtonCtrl::SetPos(int pos) {
  return static_cast<short>(
      LOWORD(SendMessage(UDM_SETPOS, 0, MAKELPARAM(static_cast<WORD>(pos & 0xFFFF), 0))));
}

CBitmapButton::CBitmapButton()
    : m_hNormal(nullptr),
      m_hSelected(nullptr),
      m_hFocus(nullptr),
      m_hDisabled(nullptr),
      m_pinnedPart{0, 0, 0, 0},
      m_hPinnedOver(nullptr) {}

CBitmapButton::~CBitmapButton() { FreeBitmaps(); }

void CBitmapButton::FreeBitmaps() {
  for (HBITMAP* bitmap : {&m_hNormal, &m_hSelected, &m_hFocus, &m_hDisabled}) {
    if (*bitmap) DeleteObject(*bitmap);
    *bitmap = nullptr;
  }
}

BOOL CBitmapButton::LoadBitmaps(UINT idNormal, UINT idSelected, UINT idFocus, UINT idDisabled) {
  FreeBitmaps();
  HINSTANCE inst = AfxGetInstanceHandle();
  auto load = [inst](UINT id) -> HBITMAP {
    return id ? LoadBitmapA(inst, MAKEINTRESOURCEA(id)) : nullptr;
  };
  m_hNormal = load(idNormal);
  m_hSelected = load(idSelected);
  m_hFocus = load(idFocus);
  m_hDisabled = load(idDisabled);
  return m_hNormal != nullptr;
}

void CBitmapButton::PinPart(const RECT& part, HWND over) {
  m_pinnedPart = part;
  m_hPinnedOver = over;
}

LRESULT CBitmapButton::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_REFLECT_DRAWITEM:
      DrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_ERASEBKGND:
      // The system erases an owner-drawn button with its brush.
      ExcludeOverlaidWindows(reinterpret_cast<HDC>(wParam));
      break;
  }
  return CWnd::WindowProc(msg, wParam, lParam);
}

void CBitmapButton::ExcludeOverlaidWindows(HDC hDC) const {
  RECT button;
  GetWindowRect(m_hWnd, &button);
  for (HWND above = GetWindow(m_hWnd, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
    RECT rc;
    if (!IsWindowVisible(above) || !GetWindowRect(above, &rc)) continue;
    if (rc.left < button.left || rc.top < button.top || rc.right > button.right ||
        rc.bottom > button.bottom)
      continue;  // a group box around the button, say: it draws no picture
    MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
    ExcludeClipRect(hDC, rc.left, rc.top, rc.right, rc.bottom);
  }
}

void CBitmapButton::DrawItem(const DRAWITEMSTRUCT* dis) {
  HBITMAP bitmap = m_hNormal;
  if ((dis->itemState & ODS_SELECTED) && m_hSelected)
    bitmap = m_hSelected;
  else if ((dis->itemState & ODS_FOCUS) && m_hFocus)
    bitmap = m_hFocus;
  else if ((dis->itemState & ODS_DISABLED) && m_hDisabled)
    bitmap = m_hDisabled;
  if (!bitmap) return;

  BITMAP info;
  if (!GetObjectA(bitmap, sizeof info, &info)) return;
  // The part and where it goes, in button coordinates; by default the whole
  // bitmap over the whole button.
  RECT part = {0, 0, info.bmWidth, info.bmHeight}, target = dis->rcItem;
  if (m_hPinnedOver && GetWindowRect(m_hPinnedOver, &target)) {
    MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&target), 2);
    part = m_pinnedPart;
  }
  StretchBand cols[3], rows[3];
  PinnedBands(info.bmWidth, part.left, part.right, target.left, target.right, cols);
  PinnedBands(info.bmHeight, part.top, part.bottom, target.top, target.bottom, rows);

  ExcludeOverlaidWindows(dis->hDC);
  HDC memDC = CreateCompatibleDC(dis->hDC);
  if (!memDC) return;
  HGDIOBJ old = SelectObject(memDC, bitmap);
  // Whole pixels, each copied or dropped: the default mode ANDs dropped
  // pixels together, darkening the picture, and HALFTONE blurs its edges.
  int oldMode = SetStretchBltMode(dis->hDC, COLORONCOLOR);
  for (const StretchBand& row : rows)
    for (const StretchBand& col : cols)
      if (col.cxSrc > 0 && row.cxSrc > 0 && col.cxDst > 0 && row.cxDst > 0)
        StretchBlt(dis->hDC, col.dst, row.dst, col.cxDst, row.cxDst, memDC, col.src, row.src,
                   col.cxSrc, row.cxSrc, SRCCOPY);
  if (oldMode) SetStretchBltMode(dis->hDC, oldMode);
  SelectObject(memDC, old);
  DeleteDC(memDC);
}
