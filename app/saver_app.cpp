// The application object: owns the settings and the current collection,
// which it loads from the user's settings file (moved in from an older
// place first), reads the switch and starts the chosen run mode with them:
// the dialog, the slideshow over every monitor, or the preview inside the
// screen-saver host's window.
#include <windows.h>

#include <objbase.h>

#include <cstdlib>
#include <new>
#include <string>

#include "app/switch_match.h"
#include "config/config_dialog.h"
#include "framework/app_base.h"
#include "saver/picture_wnd.h"
#include "settings/collection.h"
#include "settings/saver_settings.h"
#include "settings/settings_place.h"
#include "settings/wallpaper.h"

class SaverApp : public CWinApp {
 public:
  SaverApp() : m_settings(), m_pHostPreview(nullptr), m_bComInitialized(FALSE) {}
  ~SaverApp() override {}
  BOOL InitInstance() override;
  int ExitInstance() override;

 private:
  void RunConfiguration(HWND hWndOwner);
  BOOL StartSlideshow();
  BOOL StartHostPreview(HWND hWndHost);

  SaverSettings m_settings;
  std::string m_settingsFile;
  PictureWnd* m_pHostPreview;  // a preview window never deletes itself
  BOOL m_bComInitialized;
};

static SaverApp theApp;

BOOL SaverApp::InitInstance() {
  Enable3dControls();
  // Photos are decoded by the system's imaging component, a COM service.
  m_bComInitialized = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  const RunChoice choice = ChooseRunMode(__argc > 1 ? __argv[1] : nullptr, __argc > 2 ? __argv[2] : nullptr);
  if (choice.mode == RUN_SET_WALLPAPER) {
    // Started by a saver on another desktop: nothing but the wallpaper.
    SetWallpaperFromCommandLine();
    return FALSE;
  }
  const SettingsPlaces places = FindSettingsPlaces();
  // A copy that failed leaves the defaults, and the next start tries again.
  MoveInSettings(places);
  m_settingsFile = places.user;
  LoadSettings(m_settingsFile, &m_settings);
  ResolveCurrentCollection(m_settingsFile, &m_settings);

  // A number that names no window counts as none.
  HWND named = reinterpret_cast<HWND>(static_cast<UINT_PTR>(choice.window));
  if (!named || !IsWindow(named)) named = nullptr;
  switch (choice.mode) {
    case RUN_CONFIGURE:
      RunConfiguration(named);
      return FALSE;
    case RUN_SLIDESHOW:
      return StartSlideshow();
    case RUN_PREVIEW:
      return StartHostPreview(named);
    case RUN_SET_WALLPAPER:
    case RUN_NONE:
      break;
  }
  return FALSE;
}

int SaverApp::ExitInstance() {
  delete m_pHostPreview;
  m_pHostPreview = nullptr;
  if (m_bComInitialized) CoUninitialize();
  m_bComInitialized = FALSE;
  return CWinApp::ExitInstance();
}

void SaverApp::RunConfiguration(HWND hWndOwner) {
  // OK saves; Exit, Escape or a dialog that never appeared write nothing.
  ConfigDialog dlg(hWndOwner, &m_settings, m_settingsFile);
  m_pMainWnd = &dlg;
  dlg.DoModal();
  m_pMainWnd = nullptr;
}

BOOL SaverApp::StartSlideshow() {
  // Every monitor: the virtual screen, or the one screen of a system that
  // does not know it.
  RECT rect = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
               GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  if (rect.right <= 0 || rect.bottom <= 0)
    rect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  rect.right += rect.left;
  rect.bottom += rect.top;
  // A test may shorten BlankAfter's minutes, to 1 ms at the least: it sets
  // LUMARO_TEST_MINUTE_MS, which no user has a reason to set.
  DWORD minuteMs = 60000;
  char value[16];
  const DWORD length = GetEnvironmentVariableA("LUMARO_TEST_MINUTE_MS", value, sizeof value);
  if (length > 0 && length < sizeof value) minuteMs = DWORD(std::min(std::max(atol(value), 1L), 60000L));
  // Deletes itself once its window is gone.
  PictureWnd* wnd = new PictureWnd(FALSE, &m_settings, m_settingsFile, minuteMs);
  if (!wnd->Create(WS_EX_TOPMOST, WS_POPUP | WS_VISIBLE, rect, nullptr)) {
    // Without a window no message would ever end the loop, so the program
    // ends now. The object is left to the process's end: deleting it would
    // save settings for a slideshow that never ran.
    return FALSE;
  }
  m_pMainWnd = wnd;
  return TRUE;
}

BOOL SaverApp::StartHostPreview(HWND hWndHost) {
  if (!hWndHost) return FALSE;
  RECT rect;
  GetClientRect(hWndHost, &rect);
  m_pHostPreview = new (std::nothrow) PictureWnd(TRUE, &m_settings, m_settingsFile);
  // The host's window owns ours: when it goes, ours goes and with it the
  // message loop. Nothing is ever written in this mode.
  if (!m_pHostPreview || !m_pHostPreview->Create(0, WS_CHILD | WS_VISIBLE, rect, hWndHost)) return FALSE;
  m_pMainWnd = m_pHostPreview;
  // The host restarts its preview freely: show picture 1 now, not a tick later.
  m_pHostPreview->SendMessage(WM_TIMER, 1, 0);
  return TRUE;
}
