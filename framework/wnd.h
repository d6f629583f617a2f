// The window base: one static window procedure routes every message to the
// object's virtual WindowProc. A class handles the messages it knows in a
// switch and hands every message, after its own action, to its base class;
// CWnd's own WindowProc is the default processing.
#pragma once

#include <windows.h>

class CWnd {
 public:
  CWnd();
  virtual ~CWnd();

  BOOL CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                int cx, int cy, HWND hWndParent, HMENU hMenu, LPVOID param = nullptr);
  BOOL DestroyWindow();

  // Attaches the object to an existing control of a dialog, routing the
  // control's messages through WindowProc; default processing then goes to
  // the control's own procedure.
  BOOL SubclassDlgItem(UINT id, CWnd* parent);
  BOOL SubclassWindow(HWND hWnd);

  HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
  LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessageW(m_hWnd, msg, wParam, lParam);
  }
  // Centres the window over its owner, or in the screen's work area when it
  // has none, kept inside the work area of the owner's monitor.
  void CenterWindow();

  // The object attached to a window, or null.
  static CWnd* FromHandlePermanent(HWND hWnd);

  // The procedure of every window class this framework registers.
  static LRESULT CALLBACK StaticWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

  HWND m_hWnd;

 protected:
  // The object's message handler. The base version is default processing.
  virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
  // Called after the window's last message, once the object is detached.
  virtual void PostNcDestroy();

 private:
  // The dialog procedure attaches and detaches dialogs itself.
  friend class CDialog;

  void Attach(HWND hWnd);
  void Detach();

  WNDPROC m_pfnSuper;  // the control's own procedure, for subclassed windows

  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;
};

// Registers (once) a window class with these attributes and returns its
// generated name, which stays valid for the life of the process.
LPCSTR AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon);
