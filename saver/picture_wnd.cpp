#include "saver/picture_wnd.h"

#include <dwmapi.h>

#include <algorithm>
#include <cstdio>

#include "saver/fade_clock.h"
#include "settings/collection.h"

namespace {
const UINT kMsgPictureMade = WM_APP + 1;  // from the worker: wParam the order's generation
const DWORD kLastWritesMs = 1000;
const UINT kPauseMarkMs = 2000;
const int kBlankFadeMs = 2000;
const UINT kFrameMs = 16;  // up to 60 frames a second while a fade or a motion goes on
const int kPreviewMoveMs = 10000;  // the preview's picture goes one way in this, then back
}  // namespace

PictureWnd::PictureWnd(BOOL bPreview, SaverSettings* settings, const std::string& settingsFile, DWORD minuteMs)
    : SaverWnd(!bPreview),
      m_settings(*settings),
      m_show(bPreview, minuteMs),
      m_writer(settingsFile),
      m_canvas(bPreview),
      m_hDC(nullptr),
      m_nScreens(0),
      m_cxClient(0),
      m_cyClient(0),
      m_bPreview(bPreview),
      m_bPauseMark(FALSE),
      m_bFrames(FALSE),
      m_bComposited(FALSE) {}

PictureWnd::~PictureWnd() {
  // Destroying the window here, should it still exist, runs WM_DESTROY
  // while the object is still a PictureWnd, so the GDI objects go back.
  if (m_hWnd) ::DestroyWindow(m_hWnd);
  // The window is gone already; the writes asked for get a moment to reach
  // the file, but a share that stopped answering does not keep the process.
  if (!m_bPreview) m_writer.Finish(m_settings.UpdateWallpaper ? &m_settings : nullptr, kLastWritesMs);
}

LRESULT PictureWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CLOSE:
      if (m_bPreview) return 0;  // the preview stays, whatever input asked
      break;
    case WM_TIMER:
      if (wParam == kFrameTimer) {
        // The frame goes out just after the compositor's, which shows it at
        // its next: every frame on screen for one refresh. Without one (the
        // timer alone paces the frames) nothing waits.
        if (m_bComposited) DwmFlush();
        Present(GetTickCount());
      } else if (wParam == kMarkTimer) {
        KillTimer(m_hWnd, kMarkTimer);
        m_bPauseMark = FALSE;
        Present(GetTickCount());
      } else {
        Follow(m_show.Tick(&m_settings, GetTickCount()));
      }
      return 0;
    case WM_KEYDOWN: {
      // The preview's keys end nothing: its close requests are refused. Once
      // the screen has gone black, any key ends the saver.
      const KeyAction action = KeyActionFor(unsigned(wParam), !m_bPreview && m_settings.Keys && m_show.Running());
      if (action == KeyAction::kPass) return CWnd::WindowProc(msg, wParam, lParam);  // the system's volume
      if (action == KeyAction::kEnd) break;
      Follow(m_show.Key(action, &m_settings));
      return 0;
    }
    case kMsgPictureMade: {
      BOOL ok = FALSE;
      if (m_worker.Take(unsigned(wParam), &m_ready, &ok)) Follow(m_show.Arrived(unsigned(wParam), ok, &m_settings));
      return 0;
    }
    case WM_PAINT: {
      LRESULT result = SaverWnd::WindowProc(msg, wParam, lParam);
      Present(GetTickCount());
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
      OnDestroy();
      break;
  }
  return SaverWnd::WindowProc(msg, wParam, lParam);
}

LRESULT PictureWnd::OnCreate(WPARAM wParam, LPARAM lParam) {
  if (SaverWnd::WindowProc(WM_CREATE, wParam, lParam) == -1) return -1;
  m_hDC = GetWindowDC(m_hWnd);
  m_canvas.Create(m_hDC);
  BOOL composited = FALSE;
  m_bComposited = SUCCEEDED(DwmIsCompositionEnabled(&composited)) && composited;
  SetTimer(m_hWnd, kTickTimer, 1000, nullptr);
  // The first size notification comes after this; the picture made ready
  // meanwhile needs the screens now.
  FindScreens();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  Follow(m_show.Start(&m_settings, uint32_t(now.QuadPart) ^ GetCurrentProcessId() << 16, GetTickCount()));
  return 0;
}

void PictureWnd::OnDestroy() {
  // The window DC and what is selected into the frames' DC go back while the
  // window still exists; the destructor runs after it is gone.
  m_show.Stop();
  m_canvas.Destroy();
  if (m_hDC) ReleaseDC(m_hWnd, m_hDC);
  m_hDC = nullptr;
}

void PictureWnd::ShowCurrentAgain() { Follow(m_show.ShowAgain(&m_settings)); }

void PictureWnd::Follow(const ShowSteps& steps) {
  // Remembered when its turn comes, before it shows: a picture that fails
  // still counts.
  if (steps.turn) m_writer.SavePlace(m_settings);
  if (steps.screen == ShowSteps::kFadeOut) {
    // Over: black from now on, with no timer but the fade's, which stops
    // when it has ended, and nothing asked of the worker or the writer.
    KillTimer(m_hWnd, kTickTimer);
    KillTimer(m_hWnd, kMarkTimer);
    m_bPauseMark = FALSE;
    Compose(nullptr, kBlankFadeMs);
    m_ready = PreparedPicture();
    return;
  }
  // The pause mark shows for a while on pausing; going on, or a change, takes it away.
  const BOOL markGoes = m_bPauseMark && (steps.turn || steps.screen != ShowSteps::kKeep || steps.restartTimer);
  if (markGoes) KillTimer(m_hWnd, kMarkTimer);
  if (steps.paused) SetTimer(m_hWnd, kMarkTimer, kPauseMarkMs, nullptr);
  m_bPauseMark = steps.paused || (m_bPauseMark && !markGoes);
  // The motion holds while the show is paused; going on, it has a whole
  // delay to reach its end.
  const BOOL held = m_canvas.Hold(m_show.Paused(), ShowMs(), GetTickCount());
  if (steps.screen != ShowSteps::kKeep) {
    Compose(steps.screen == ShowSteps::kShow ? &m_ready : nullptr);
    m_ready = PreparedPicture();
  } else if (steps.paused || markGoes || held) {
    Present(GetTickCount());
  }
  if (steps.restartTimer) SetTimer(m_hWnd, kTickTimer, 1000, nullptr);
  if (steps.ask) {
    PictureOrder order;
    order.collection = CollectionPath(m_settings);
    order.dir = m_settings.CollectionDir;
    order.number = steps.ask;
    order.title = m_settings.ShowTitle == 1 && !m_bPreview;
    // The preview asks only when a collection is picked, whose file the
    // dialog may have just written.
    order.reindex = m_bPreview != FALSE;
    for (int i = 0; i < m_nScreens; ++i) order.screens[i] = m_rcScreens[i];
    order.screenCount = m_nScreens;
    order.stretch = Stretched();
    order.generation = steps.generation;
    order.zoom = m_settings.PanZoom != 0;
    order.date = m_settings.ShowDate && !m_bPreview;
    order.place = m_settings.ShowPlace && !m_bPreview;
    // Without a thread every picture fails, as an unreadable one does.
    if (!m_worker.Order(order, m_hWnd, kMsgPictureMade)) Follow(m_show.Arrived(steps.generation, FALSE, &m_settings));
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
  m_canvas.SetScreens(m_rcScreens, m_nScreens);
}

BOOL PictureWnd::Stretched() const { return m_settings.FullScreen == 1 || m_bPreview; }

int PictureWnd::ShowMs() const {
  if (m_bPreview) return kPreviewMoveMs;
  // Its delay, and the fade out at the change after it; a day at most, for
  // a delay beyond that moves no slower than one of a day.
  const int delay = std::clamp(m_settings.ChangeDelay, 1, 86400);
  return delay * 1000 + FadeMilliseconds(m_settings.Fade, m_settings.ChangeDelay);
}

void PictureWnd::Compose(PreparedPicture* picture, int fadeMs) {
  RECT rc;
  GetWindowRect(m_hWnd, &rc);
  const bool drawn = picture && !picture->Empty();
  CanvasLook look;
  // The preview cuts: it changes only when a collection is picked.
  look.fadeMs = fadeMs >= 0 ? fadeMs : m_bPreview || !drawn ? 0 : FadeMilliseconds(m_settings.Fade, m_settings.ChangeDelay);
  look.title = !m_bPreview;
  look.stretch = Stretched();
  look.move = m_settings.PanZoom != 0;
  look.ease = m_bPreview || !m_settings.Fade;
  look.lengthMs = ShowMs();
  const DWORD now = GetTickCount();
  m_canvas.Show(picture, look, rc.right - rc.left, rc.bottom - rc.top, now);
  Present(now);
}

void PictureWnd::Present(DWORD now) {
  m_canvas.SetPauseMarks(m_bPauseMark);
  const BOOL more = m_canvas.Present(m_hDC, now);
  if (more && !m_bFrames) SetTimer(m_hWnd, kFrameTimer, kFrameMs, nullptr);
  if (!more && m_bFrames) KillTimer(m_hWnd, kFrameTimer);
  m_bFrames = more;
}
