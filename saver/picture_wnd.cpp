#include "saver/picture_wnd.h"

#include <cstdio>
#include <new>

#include "picture/dib_picture.h"
#include "picture/paint_geometry.h"
#include "settings/collection.h"
#include "saver/tick_rule.h"

PictureWnd::PictureWnd(BOOL bPreview)
    : SaverWnd(!bPreview),
      m_hFont(nullptr),
      m_hOldFont(nullptr),
      m_hPalette(nullptr),
      m_hOldPalette(nullptr),
      m_hDC(nullptr),
      m_pPicture(nullptr),
      m_nScreens(0),
      m_nTicks(TicksFromDelay(theSettings.ChangeDelay)),
      m_cxClient(0),
      m_cyClient(0),
      m_bPreview(bPreview) {
  m_szTitle[0] = '\0';
  m_szSetName[0] = '\0';
  m_sizePicture.cx = m_sizePicture.cy = 0;
  // Without a holder the window still runs; it just never shows a picture.
  m_pPicture = new (std::nothrow) DibPicture;
}

PictureWnd::~PictureWnd() {
  // Destroying the window here, should it still exist, runs WM_DESTROY
  // while the object is still a PictureWnd, so the GDI objects go back.
  if (m_hWnd) ::DestroyWindow(m_hWnd);
  if (m_pPicture) {
    m_pPicture->Release();
    delete m_pPicture;
    m_pPicture = nullptr;
  }
  for (DibPicture& sized : m_aSized) sized.Release();
  if (theSettings.UpdateWallpaper && !m_bPreview) SaveSettings();
}

LRESULT PictureWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CLOSE:
      if (m_bPreview) return 0;  // the preview stays, whatever input asked
      break;
    case WM_TIMER:
      OnTimer();
      return 0;
    case WM_PAINT: {
      LRESULT result = SaverWnd::WindowProc(msg, wParam, lParam);
      PaintPicture();
      return result;
    }
    case WM_SIZE: {
      LRESULT result = SaverWnd::WindowProc(msg, wParam, lParam);
      m_cxClient = static_cast<short>(LOWORD(lParam));
      m_cyClient = static_cast<short>(HIWORD(lParam));
      FindScreens();
      return result;
    }
    case WM_CREATE:
      return OnCreate(wParam, lParam);
    case WM_DESTROY:
      // The window DC and what is selected into it go back while the window
      // still exists; the destructor runs after it is gone.
      if (m_hDC) {
        SelectObject(m_hDC, m_hOldFont);
        if (m_hFont) DeleteObject(m_hFont);
        m_hFont = nullptr;
        ReleasePalette();
        ReleaseDC(m_hWnd, m_hDC);
        m_hDC = nullptr;
      }
      break;
  }
  return SaverWnd::WindowProc(msg, wParam, lParam);
}

LRESULT PictureWnd::OnCreate(WPARAM wParam, LPARAM lParam) {
  if (SaverWnd::WindowProc(WM_CREATE, wParam, lParam) == -1) return -1;
  m_hDC = GetWindowDC(m_hWnd);
  // A draw that still scales (a run-length picture) drops whole pixels
  // rather than combining them, which would darken the picture.
  SetStretchBltMode(m_hDC, COLORONCOLOR);
  SetUpTitleFont();
  SetTimer(m_hWnd, 1, 1000, nullptr);
  return 0;
}

void PictureWnd::OnTimer() {
  if (!CountTick(m_szSetName, &m_nTicks, theSettings, m_bPreview)) return;

  char key[16];
  if (m_bPreview) {
    snprintf(key, sizeof key, "1");
  } else {
    theSettings.CurrentPicture = NextPictureNumber(theSettings.CurrentPicture, theSettings.PictureCount);
    snprintf(key, sizeof key, "%d", theSettings.CurrentPicture);
    // Remembered before the load, so a picture that fails still counts.
    WritePrivateProfileStringA("ScreenSaver", "CurrentPicture", key, kSettingsFile);
    if (theSettings.ShowTitle == 1) LookUpTitle(key, m_szTitle);
  }

  char path[kPathSize];
  BOOL havePath = LookUpPicturePath(key, path, sizeof path);
  ReleasePalette();
  for (DibPicture& sized : m_aSized) sized.Release();
  if (!havePath || !m_pPicture || !m_pPicture->Load(path, &PictureWnd::SizeNeeded, this)) return;
  m_sizePicture = m_pPicture->m_sizeSource;
  PrepareForScreens();
  if (!BuildPalette()) return;
  PaintPicture();
}

void PictureWnd::ShowCurrentAgain() {
  // A picture that fails to load leaves the window black, not showing the
  // collection before.
  if (m_pPicture) m_pPicture->Release();
  for (DibPicture& sized : m_aSized) sized.Release();
  ReleasePalette();
  m_szSetName[0] = '\0';
  SendMessage(WM_TIMER, 1, 0);
  if (m_hDC && (!m_pPicture || !m_pPicture->m_pBits)) {
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    FillRect(m_hDC, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }
}

namespace {
struct MonitorList {
  RECT rects[kMaxScreens];
  int count;
};

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT rect, LPARAM context) {
  MonitorList& list = *reinterpret_cast<MonitorList*>(context);
  list.rects[list.count++] = *rect;
  return list.count < kMaxScreens;
}
}  // namespace

void PictureWnd::FindScreens() {
  // A preview is one screen: its own area.
  MonitorList monitors;
  monitors.count = 0;
  if (!m_bPreview) EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  RECT window;
  GetWindowRect(m_hWnd, &window);
  m_nScreens = ScreensInWindow(monitors.rects, monitors.count, window, m_rcScreens, kMaxScreens);
}

SIZE PictureWnd::SizeNeeded(void* context, int width, int height) {
  const PictureWnd& wnd = *static_cast<const PictureWnd*>(context);
  return LargestDrawnSize(wnd.m_rcScreens, wnd.m_nScreens, width, height, wnd.Stretched());
}

void PictureWnd::PrepareForScreens() {
  // Made once at each size it is drawn at, so every paint is a 1:1 copy. A
  // size that could not be made is drawn scaled from the loaded picture,
  // which is remade last, as the others are made from it.
  SIZE sizes[kMaxScreens];
  const int n = DrawnSizes(m_rcScreens, m_nScreens, m_sizePicture.cx, m_sizePicture.cy, Stretched(), sizes);
  for (int i = 1; i < n; ++i) m_aSized[i - 1].PrepareFrom(*m_pPicture, sizes[i].cx, sizes[i].cy);
  if (n > 0) m_pPicture->Prepare(sizes[0].cx, sizes[0].cy);
}

const DibPicture& PictureWnd::PictureDrawnAt(int width, int height) const {
  for (const DibPicture& sized : m_aSized)
    if (sized.m_pBits && sized.m_nWidth == width && sized.m_nHeight == height) return sized;
  return *m_pPicture;
}
