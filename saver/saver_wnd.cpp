#include "saver/saver_wnd.h"

#include "framework/app_base.h"
#include "res/resource.h"
#include "saver/mouse_rule.h"

SaverWnd::SaverWnd(BOOL bAutoDelete) : m_bAutoDelete(bAutoDelete) {
  m_ptLastMouse.x = -1;
  m_ptLastMouse.y = -1;
}

SaverWnd::~SaverWnd() {}

BOOL SaverWnd::Create(DWORD exStyle, DWORD style, const RECT& rect, HWND hWndParent) {
  static LPCSTR className = nullptr;
  if (!className) {
    HCURSOR blank = LoadCursorA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDC_BLANK_CURSOR));
    // No background brush: the system never erases the window.
    className = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW, blank, nullptr, nullptr);
    if (!className) return FALSE;
  }
  return CreateEx(exStyle, className, "", style, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, hWndParent, nullptr);
}

void SaverWnd::PostCloseRequest() { PostMessageA(m_hWnd, WM_CLOSE, 0, 0); }

LRESULT SaverWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_SYSCOMMAND:
      // The whole wParam is compared: these two commands are refused.
      if (wParam == SC_SCREENSAVE || wParam == SC_CLOSE) return 0;
      break;
    case WM_DESTROY:
      PostQuitMessage(0);
      break;
    case WM_SETCURSOR:
      SetCursor(nullptr);
      return TRUE;
    case WM_NCACTIVATE:
      if (!wParam) return FALSE;
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) PostCloseRequest();
      break;
    case WM_ACTIVATEAPP:
      if (!wParam) PostCloseRequest();
      break;
    case WM_MOUSEMOVE:
      if (MouseMoveCloses(&m_ptLastMouse, static_cast<short>(LOWORD(lParam)),
                          static_cast<short>(HIWORD(lParam))))
        PostCloseRequest();
      break;
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      PostCloseRequest();
      break;
  }
  return CWnd::WindowProc(msg, wParam, lParam);
}

void SaverWnd::PostNcDestroy() {
  if (m_bAutoDelete) delete this;
}
