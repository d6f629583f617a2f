#include "framework/wnd.h"

#include <cstdio>

#include "framework/app_base.h"
#include "text/utf.h"

// Every window is a Unicode window, subclassed controls too: the wide
// messages then reach them without a pass through the code page.
namespace {
// The object whose window is being created: the messages sent before
// CreateWindowEx returns (WM_GETMINMAXINFO comes even before WM_NCCREATE)
// find their object here. One thread, so one slot is enough.
CWnd* s_pWndInit = nullptr;

const char kObjectProp[] = "Lumaro.CWnd";
}  // namespace

CWnd::CWnd() : m_hWnd(nullptr), m_pfnSuper(nullptr) {}

CWnd::~CWnd() {
  // An object that dies before its window takes the window with it, so no
  // message can reach a destroyed object.
  if (m_hWnd && IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
  if (m_hWnd) Detach();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
  return hWnd ? static_cast<CWnd*>(GetPropA(hWnd, kObjectProp)) : nullptr;
}

void CWnd::Attach(HWND hWnd) {
  m_hWnd = hWnd;
  SetPropA(hWnd, kObjectProp, this);
}

void CWnd::Detach() {
  if (m_pfnSuper) {
    SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
  }
  RemovePropA(m_hWnd, kObjectProp);
  m_hWnd = nullptr;
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                    int cx, int cy, HWND hWndParent, HMENU hMenu, LPVOID param) {
  s_pWndInit = this;
  HWND hWnd = CreateWindowExW(exStyle, Wide(className).c_str(), Wide(windowName ? windowName : "").c_str(), style, x,
                              y, cx, cy, hWndParent, hMenu, AfxGetInstanceHandle(), param);
  s_pWndInit = nullptr;
  return hWnd != nullptr;
}

BOOL CWnd::DestroyWindow() { return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE; }

BOOL CWnd::SubclassWindow(HWND hWnd) {
  if (!hWnd || m_hWnd) return FALSE;
  Attach(hWnd);
  m_pfnSuper = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StaticWndProc)));
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
  return parent ? SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id))) : FALSE;
}

void CWnd::CenterWindow() {
  RECT rc, area;
  GetWindowRect(m_hWnd, &rc);
  HWND owner = GetWindow(m_hWnd, GW_OWNER);
  // The work area of the owner's monitor, or of the primary one.
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoA(MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY), &monitor))
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &monitor.rcWork, 0);
  if (owner && IsWindowVisible(owner) && !IsIconic(owner)) {
    GetWindowRect(owner, &area);
  } else {
    area = monitor.rcWork;
  }
  int cx = rc.right - rc.left, cy = rc.bottom - rc.top;
  int x = area.left + ((area.right - area.left) - cx) / 2;
  int y = area.top + ((area.bottom - area.top) - cy) / 2;
  // Over a small owner near an edge (the host's Settings window) the whole
  // dialog stays on its screen; the top left wins when it cannot.
  const RECT& work = monitor.rcWork;
  if (x + cx > work.right) x = work.right - cx;
  if (y + cy > work.bottom) y = work.bottom - cy;
  if (x < work.left) x = work.left;
  if (y < work.top) y = work.top;
  SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (m_pfnSuper) return CallWindowProcW(m_pfnSuper, m_hWnd, msg, wParam, lParam);
  return DefWindowProcW(m_hWnd, msg, wParam, lParam);
}

void CWnd::PostNcDestroy() {}

LRESULT CALLBACK CWnd::StaticWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  CWnd* wnd = FromHandlePermanent(hWnd);
  if (!wnd && s_pWndInit) {
    wnd = s_pWndInit;
    s_pWndInit = nullptr;
    wnd->Attach(hWnd);
  }
  if (!wnd) return DefWindowProcW(hWnd, msg, wParam, lParam);

  LRESULT result = wnd->WindowProc(msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == wnd) app->m_pMainWnd = nullptr;
    wnd->Detach();
    wnd->PostNcDestroy();  // may delete the object: nothing touches it after
  }
  return result;
}

LPCSTR AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon) {
  // The name encodes the attributes, so equal requests share one class.
  static char names[8][64];
  static int used = 0;
  char name[64];
  snprintf(name, sizeof name, "Lumaro:%x:%p:%p:%p", classStyle, static_cast<void*>(cursor),
           static_cast<void*>(background), static_cast<void*>(icon));
  for (int i = 0; i < used; i++)
    if (lstrcmpA(names[i], name) == 0) return names[i];
  if (used == 8) return nullptr;

  const std::wstring wideName = Wide(name);
  WNDCLASSW wc = {};
  wc.style = classStyle;
  wc.lpfnWndProc = &CWnd::StaticWndProc;
  wc.hInstance = AfxGetInstanceHandle();
  wc.hCursor = cursor;
  wc.hbrBackground = background;
  wc.hIcon = icon;
  wc.lpszClassName = wideName.c_str();
  if (!RegisterClassW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;
  snprintf(names[used], sizeof names[used], "%s", name);
  return names[used++];
}
