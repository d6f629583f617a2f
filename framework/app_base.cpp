#include "framework/app_base.h"

namespace {
CWinApp* s_pApp = nullptr;

typedef BOOL(WINAPI* Ctl3dFunc)(HINSTANCE);
}  // namespace

CWinApp::CWinApp() : m_hInstance(nullptr), m_pMainWnd(nullptr), m_hCtl3d(nullptr) { s_pApp = this; }

CWinApp::~CWinApp() {
  if (m_hCtl3d) {
    Ctl3dFunc unregister = reinterpret_cast<Ctl3dFunc>(
        reinterpret_cast<void*>(GetProcAddress(m_hCtl3d, "Ctl3dUnregister")));
    if (unregister) unregister(m_hInstance);
    FreeLibrary(m_hCtl3d);
  }
  if (s_pApp == this) s_pApp = nullptr;
}

BOOL CWinApp::InitInstance() { return FALSE; }

int CWinApp::Run() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  ExitInstance();
  return msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : 0;
}

int CWinApp::ExitInstance() { return 0; }

void CWinApp::Enable3dControls() {
  // The library is long gone from current systems; without it dialogs keep
  // the plain look, which is all that is asked.
  UINT oldMode = SetErrorMode(SEM_NOOPENFILEERRORBOX | SEM_FAILCRITICALERRORS);
  m_hCtl3d = LoadLibraryA("CTL3D32.DLL");
  SetErrorMode(oldMode);
  if (!m_hCtl3d) return;
  Ctl3dFunc registerApp = reinterpret_cast<Ctl3dFunc>(
      reinterpret_cast<void*>(GetProcAddress(m_hCtl3d, "Ctl3dRegister")));
  Ctl3dFunc autoSubclass = reinterpret_cast<Ctl3dFunc>(
      reinterpret_cast<void*>(GetProcAddress(m_hCtl3d, "Ctl3dAutoSubclass")));
  if (registerApp && registerApp(m_hInstance) && autoSubclass) autoSubclass(m_hInstance);
}

CWinApp* AfxGetApp() { return s_pApp; }

HINSTANCE AfxGetInstanceHandle() { return s_pApp ? s_pApp->m_hInstance : GetModuleHandleA(nullptr); }

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
  CWinApp* app = AfxGetApp();
  if (!app) return 1;
  app->m_hInstance = hInstance;
  if (!app->InitInstance()) return app->ExitInstance();
  return app->Run();
}
