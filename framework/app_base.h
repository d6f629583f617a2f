// The application object: one static instance derived from CWinApp; the
// program's entry point calls its InitInstance once and, when that returns
// TRUE, runs the message loop until the quit message.
#pragma once

#include <windows.h>

class CWnd;

class CWinApp {
 public:
  CWinApp();
  virtual ~CWinApp();

  virtual BOOL InitInstance();
  virtual int Run();
  virtual int ExitInstance();

  // Asks for three-dimensional dialog controls: uses CTL3D32.DLL when the
  // system has it, and keeps the plain look otherwise.
  void Enable3dControls();

  HINSTANCE m_hInstance;
  CWnd* m_pMainWnd;

 private:
  HMODULE m_hCtl3d;
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
