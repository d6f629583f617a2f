// The base window of the screen saver: closes itself at the first sign of
// the user, hides the pointer, refuses the system's screen-saver and close
// commands, and ends the message loop when it is destroyed.
#pragma once

#include <windows.h>

#include "framework/wnd.h"

class SaverWnd : public CWnd {
 public:
  explicit SaverWnd(BOOL bAutoDelete);
  ~SaverWnd() override;

  // Registers the saver class on first use and creates the window.
  // `rect` is in the parent's client coordinates, or the screen's. The
  // parent may be another program's window (the screen-saver host's).
  virtual BOOL Create(DWORD exStyle, DWORD style, const RECT& rect, HWND hWndParent);

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void PostNcDestroy() override;

  void PostCloseRequest();

  POINT m_ptLastMouse;  // first mouse position reported; (-1, -1) until then
  BOOL m_bAutoDelete;   // the object deletes itself after its window is gone
};
