// The application object: loads the settings, reads the switch and starts
// the chosen run mode.
#include <windows.h>

#include <cstdlib>

#include "app/switch_match.h"
#include "config/config_dialog.h"
#include "framework/app_base.h"
#include "saver/picture_wnd.h"
#include "settings/saver_settings.h"

class SaverApp : public CWinApp {
 public:
  ~SaverApp() override {}
  BOOL InitInstance() override;

 private:
  void RunConfiguration();
  BOOL StartSlideshow();
};

static SaverApp theApp;

BOOL SaverApp::InitInstance() {
  Enable3dControls();
  LoadSettings();

  switch (ChooseRunMode(__argc > 1 ? __argv[1] : nullptr)) {
    case RUN_CONFIGURE:
      RunConfiguration();
      return FALSE;
    case RUN_SLIDESHOW:
      return StartSlideshow();
    case RUN_NONE:
      break;
  }
  return FALSE;
}

void SaverApp::RunConfiguration() {
  ConfigDialog dlg(nullptr);
  m_pMainWnd = &dlg;
  // Exit, Escape or a dialog that never appeared: nothing is written.
  if (dlg.DoModal() == IDOK) SaveSettings();
  m_pMainWnd = nullptr;
}

BOOL SaverApp::StartSlideshow() {
  int cy = GetSystemMetrics(SM_CYSCREEN);
  int cx = GetSystemMetrics(SM_CXSCREEN);
  RECT rect = {0, 0, cx, cy};
  // Deletes itself once its window is gone.
  PictureWnd* wnd = new PictureWnd(FALSE);
  if (!wnd->Create(WS_EX_TOPMOST, WS_POPUP | WS_VISIBLE, rect, nullptr)) {
    // Without a window no message would ever end the loop, so the program
    // ends now. The object is left to the process's end: deleting it would
    // save settings for a slideshow that never ran.
    return FALSE;
  }
  m_pMainWnd = wnd;
  return TRUE;
}
