#include "saver/picture_wnd.h"

#include <dwmapi.h>

#include <algorithm>
#include <cstdio>

#include "saver/fade_clock.h"
#include "settings/collection.h"

namespace {
const UINT kMsgPictureMade = WM_APP + 1;  // from the worker: wParam the order's generation
const UINT kMsgDpiChanged = 0x02E0;       // WM_DPICHANGED, from Windows 8.1 on, which our headers' version lacks
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
      m_turns(minuteMs),
      // A picture for each of one monitor is the one-picture show itself.
      m_bTurns(!bPreview && (settings->PairPortraits || (settings->EachMonitor && GetSystemMetrics(SM_CMONITORS) > 1))),
      m_writer(settingsFile),
      m_rcPanes{},
      m_nPanes(0),
      m_aMoving{},
      m_bEach(FALSE),
      m_bMatch(FALSE),
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
        Present(GetTickCount(), FALSE);
      } else if (wParam == kMarkTimer) {
        KillTimer(m_hWnd, kMarkTimer);
        m_bPauseMark = FALSE;
        Present(GetTickCount());
      } else if (m_bTurns) {
        if (wParam == kTurnTimer) KillTimer(m_hWnd, kTurnTimer);  // set again for the next turn
        Follow(m_turns.Tick(&m_settings, GetTickCount()));
      } else {
        Follow(m_show.Tick(&m_settings, GetTickCount()));
      }
      return 0;
    case WM_KEYDOWN: {
      // The preview's keys end nothing: its close requests are refused. Once
      // the screen has gone black, any key ends the saver.
      const BOOL running = m_bTurns ? m_turns.Running() : m_show.Running();
      const KeyAction action = KeyActionFor(unsigned(wParam), !m_bPreview && m_settings.Keys && running);
      if (action == KeyAction::kPass) return CWnd::WindowProc(msg, wParam, lParam);  // the system's volume
      if (action == KeyAction::kEnd) break;
      if (m_bTurns) {
        Follow(m_turns.Key(action, &m_settings, GetTickCount()));
      } else {
        Follow(m_show.Key(action, &m_settings));
      }
      return 0;
    }
    case kMsgPictureMade: {
      BOOL ok = FALSE;
      RotaChoice choice;
      if (!m_worker.Take(unsigned(wParam), &m_ready, &ok, &choice)) return 0;
      if (m_bTurns) {
        Follow(m_turns.Arrived(unsigned(wParam), ok, choice, &m_settings, GetTickCount()));
      } else {
        Follow(m_show.Arrived(unsigned(wParam), ok, &m_settings));
      }
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
    case WM_DISPLAYCHANGE:
      // Monitors came or went: the window covers them all again, and each
      // pane is laid out anew.
      if (!m_bPreview) {
        SetWindowPos(m_hWnd, nullptr, GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                     GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        FindScreens();
      }
      break;
    case kMsgDpiChanged:
      // The window stays over every monitor, as it is; a monitor of its own
      // gets words of its new size, its pane made anew.
      if (m_bEach) Arrange();
      return 0;
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
  BOOL composited = FALSE;
  m_bComposited = SUCCEEDED(DwmIsCompositionEnabled(&composited)) && composited;
  SetTimer(m_hWnd, kTickTimer, 1000, nullptr);
  // The first size notification comes after this; the picture made ready
  // meanwhile needs the screens now.
  FindScreens();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  const uint32_t fresh = uint32_t(now.QuadPart) ^ GetCurrentProcessId() << 16;
  if (m_bTurns) {
    Follow(m_turns.Start(&m_settings, fresh, m_nPanes, GetTickCount()));
  } else {
    Follow(m_show.Start(&m_settings, fresh, GetTickCount()));
  }
  return 0;
}

void PictureWnd::OnDestroy() {
  // The window DC and what is selected into the frames' DC go back while the
  // window still exists; the destructor runs after it is gone.
  m_show.Stop();
  m_turns.Stop();
  for (auto& canvas : m_canvases) canvas.reset();
  if (m_hDC) ReleaseDC(m_hWnd, m_hDC);
  m_hDC = nullptr;
}

void PictureWnd::ShowCurrentAgain() { Follow(m_show.ShowAgain(&m_settings)); }

void PictureWnd::Follow(const ShowSteps& steps) {
  // Remembered when its turn comes, before it shows: a picture that fails
  // still counts.
  if (steps.turn) m_writer.SavePlace(m_settings);
  if (steps.screen == ShowSteps::kFadeOut) return FadeOut();
  const BOOL changed = steps.turn || steps.screen != ShowSteps::kKeep || steps.restartTimer;
  const BOOL redraw = MarkAndHold(steps.paused, changed);
  if (steps.screen != ShowSteps::kKeep) {
    Compose(0, steps.screen == ShowSteps::kShow ? &m_ready : nullptr);
    m_ready = PreparedPicture();
  } else if (redraw) {
    Present(GetTickCount());
  }
  if (steps.restartTimer) SetTimer(m_hWnd, kTickTimer, 1000, nullptr);
  if (steps.ask) {
    PictureOrder order = NewOrder(0, steps.generation);
    order.number = steps.ask;
    Send(order);
  }
}

void PictureWnd::Follow(const RotaSteps& steps) {
  if (steps.turn) m_writer.SavePlace(m_settings);
  if (steps.screen == RotaSteps::kFadeOut) return FadeOut();
  // Going on after a pause changes nothing on screen, but takes the mark away.
  const BOOL changed = steps.screen != RotaSteps::kKeep || (m_bPauseMark && !m_turns.Paused());
  const BOOL redraw = MarkAndHold(steps.paused, changed);
  if (steps.screen == RotaSteps::kShow) {
    Compose(steps.group, &m_ready);
    m_ready = PreparedPicture();
  } else if (redraw) {
    Present(GetTickCount());
  }
  if (steps.wakeMs) {
    SetTimer(m_hWnd, kTurnTimer, steps.wakeMs, nullptr);
  } else {
    KillTimer(m_hWnd, kTurnTimer);
  }
  if (steps.ask >= 0) {
    PictureOrder order = NewOrder(steps.ask, steps.generation);
    order.candidateCount = std::min(steps.candidateCount, int(kRotaWindow));
    std::copy(steps.candidates, steps.candidates + order.candidateCount, order.candidates);
    order.shape = PaneShape(steps.ask);
    order.match = m_bMatch != FALSE;
    order.pair = m_settings.PairPortraits && order.shape == Shape::kLandscape;
    order.number = steps.back[0];
    order.partner = steps.back[1];
    Send(order);
  }
}

void PictureWnd::FadeOut() {
  // Over: black from now on, with no timer but the fade's, which stops
  // when it has ended, and nothing asked of the worker or the writer.
  KillTimer(m_hWnd, kTickTimer);
  KillTimer(m_hWnd, kTurnTimer);
  KillTimer(m_hWnd, kMarkTimer);
  m_bPauseMark = FALSE;
  for (int pane = 0; pane < m_nPanes; ++pane) Compose(pane, nullptr, kBlankFadeMs);
  m_ready = PreparedPicture();
}

BOOL PictureWnd::MarkAndHold(BOOL paused, BOOL changed) {
  const BOOL markGoes = m_bPauseMark && changed;
  if (markGoes) KillTimer(m_hWnd, kMarkTimer);
  if (paused) SetTimer(m_hWnd, kMarkTimer, kPauseMarkMs, nullptr);
  m_bPauseMark = paused || (m_bPauseMark && !markGoes);
  // The motion holds while the show is paused; going on, it has what is
  // left of the picture's time to reach its end.
  const DWORD now = GetTickCount();
  BOOL held = FALSE;
  for (int pane = 0; pane < m_nPanes; ++pane)
    held |= m_canvases[pane]->Hold(m_bTurns ? m_turns.Paused() : m_show.Paused(), ShowMs(pane), now);
  return paused || markGoes || held;
}

PictureOrder PictureWnd::NewOrder(int pane, unsigned generation) const {
  PictureOrder order;
  order.collection = CollectionPath(m_settings);
  order.dir = m_settings.CollectionDir;
  order.title = m_settings.ShowTitle == 1 && !m_bPreview;
  // The preview asks only when a collection is picked, whose file the
  // dialog may have just written.
  order.reindex = m_bPreview != FALSE;
  // A pane of its own has the screen's size, from its own corner.
  if (m_bEach) {
    const RECT& r = m_rcPanes[pane];
    order.screens[0] = RECT{0, 0, r.right - r.left, r.bottom - r.top};
    order.screenCount = 1;
  } else {
    for (int i = 0; i < m_nScreens; ++i) order.screens[i] = m_rcScreens[i];
    order.screenCount = m_nScreens;
  }
  order.stretch = Stretched();
  order.generation = generation;
  order.zoom = m_settings.PanZoom != 0;
  order.date = m_settings.ShowDate && !m_bPreview;
  order.place = m_settings.ShowPlace && !m_bPreview;
  return order;
}

void PictureWnd::Send(const PictureOrder& order) {
  // Without a thread every picture fails, as an unreadable one does.
  if (m_worker.Order(order, m_hWnd, kMsgPictureMade)) return;
  if (m_bTurns) {
    Follow(m_turns.Arrived(order.generation, FALSE, RotaChoice(), &m_settings, GetTickCount()));
  } else {
    Follow(m_show.Arrived(order.generation, FALSE, &m_settings));
  }
}

namespace {
struct MonitorList {
  RECT rects[kMaxScreens];
  int count;
};

// The dots per inch of the monitor at `rect` (screen coordinates), where
// Windows (8.1 on) tells each monitor's own; else 0.
int MonitorDpi(const RECT& rect) {
  using DpiForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  HMODULE shcore = LoadLibraryW(L"shcore.dll");
  if (!shcore) return 0;
  const auto dpiFor = reinterpret_cast<DpiForMonitor>(reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")));
  UINT x = 0, y = 0;
  const bool known = dpiFor && SUCCEEDED(dpiFor(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), 0, &x, &y));
  FreeLibrary(shcore);
  return known ? int(y) : 0;
}

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
  RECT screens[kMaxScreens];
  const int count = ScreensInWindow(monitors.rects, monitors.count, window, screens, kMaxScreens);
  const BOOL same = count == m_nScreens && std::equal(screens, screens + count, m_rcScreens, [](const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != FALSE;
  });
  std::copy(screens, screens + count, m_rcScreens);
  m_nScreens = count;
  if (!same || !m_nPanes) Arrange();
}

void PictureWnd::Arrange() {
  if (!m_hDC) return;  // before the window's DC, there is nothing to draw with
  const bool again = m_nPanes > 0;  // the monitors changed under a running show
  RECT window;
  GetWindowRect(m_hWnd, &window);
  const BOOL each = m_bTurns && m_settings.EachMonitor && m_nScreens > 1;
  if (!m_bTurns && again) {
    // One picture everywhere: the next comes at once, laid on the new screens.
    m_rcPanes[0] = RECT{0, 0, window.right - window.left, window.bottom - window.top};
    m_canvases[0]->SetScreens(m_rcScreens, m_nScreens);
    Follow(m_show.Key(KeyAction::kNext, &m_settings));
    return;
  }
  m_bEach = each;
  m_nPanes = each ? m_nScreens : 1;
  bool portrait = false, landscape = false;
  for (int pane = 0; pane < kMaxScreens; ++pane) {
    m_canvases[pane].reset();
    if (pane >= m_nPanes) continue;
    m_rcPanes[pane] = each ? m_rcScreens[pane] : RECT{0, 0, window.right - window.left, window.bottom - window.top};
    const RECT& r = m_rcPanes[pane];
    m_canvases[pane] = std::make_unique<ShowCanvas>(m_bPreview);
    // A monitor of its own has its own words' size, whatever the others' dots per inch.
    RECT onScreen = r;
    OffsetRect(&onScreen, window.left, window.top);
    m_canvases[pane]->Create(m_hDC, each ? MonitorDpi(onScreen) : 0);
    m_canvases[pane]->SetOrigin(POINT{r.left, r.top});
    const RECT own = {0, 0, r.right - r.left, r.bottom - r.top};
    if (each) {
      m_canvases[pane]->SetScreens(&own, 1);
    } else {
      m_canvases[pane]->SetScreens(m_rcScreens, m_nScreens);
    }
    const Shape shape = PaneShape(pane);
    portrait |= shape == Shape::kPortrait;
    landscape |= shape == Shape::kLandscape;
  }
  m_bMatch = each && portrait && landscape;
  // Every pane black, filled again in turn, or black for good once blank.
  if (!again) return;
  for (int pane = 0; pane < m_nPanes; ++pane) Compose(pane, nullptr, 0);
  Follow(m_turns.Regroup(m_nPanes, GetTickCount()));
}

Shape PictureWnd::PaneShape(int pane) const {
  // A pane over several screens has their shape when they share one.
  if (m_bEach) return ShapeOf(m_rcPanes[pane].right - m_rcPanes[pane].left, m_rcPanes[pane].bottom - m_rcPanes[pane].top);
  Shape shape = Shape::kUnknown;
  for (int i = 0; i < m_nScreens; ++i) {
    const Shape one = ShapeOf(m_rcScreens[i].right - m_rcScreens[i].left, m_rcScreens[i].bottom - m_rcScreens[i].top);
    if (i > 0 && one != shape) return Shape::kUnknown;
    shape = one;
  }
  return shape;
}

BOOL PictureWnd::Stretched() const { return m_settings.FullScreen == 1 || m_bPreview; }

int PictureWnd::ShowMs(int pane) const {
  if (m_bPreview) return kPreviewMoveMs;
  // Taking turns, a picture shows until its pane's next change.
  if (m_bTurns)
    return int(std::min<DWORD>(m_turns.Left(pane, GetTickCount()), 86400000)) +
           FadeMilliseconds(m_settings.Fade, m_settings.ChangeDelay);
  // Its delay, and the fade out at the change after it; a day at most, for
  // a delay beyond that moves no slower than one of a day.
  const int delay = std::clamp(m_settings.ChangeDelay, 1, 86400);
  return delay * 1000 + FadeMilliseconds(m_settings.Fade, m_settings.ChangeDelay);
}

void PictureWnd::Compose(int pane, PreparedPicture* picture, int fadeMs) {
  if (pane < 0 || pane >= m_nPanes) return;
  const RECT& rc = m_rcPanes[pane];
  const bool drawn = picture && !picture->Empty();
  CanvasLook look;
  // The preview cuts: it changes only when a collection is picked.
  look.fadeMs = fadeMs >= 0 ? fadeMs : m_bPreview || !drawn ? 0 : FadeMilliseconds(m_settings.Fade, m_settings.ChangeDelay);
  look.title = !m_bPreview;
  look.stretch = Stretched();
  look.move = m_settings.PanZoom != 0;
  look.ease = m_bPreview || !m_settings.Fade;
  look.lengthMs = ShowMs(pane);
  const DWORD now = GetTickCount();
  m_canvases[pane]->Show(picture, look, rc.right - rc.left, rc.bottom - rc.top, now);
  m_aMoving[pane] = TRUE;
  Present(now, FALSE);
}

void PictureWnd::Present(DWORD now, BOOL all) {
  BOOL more = FALSE;
  for (int pane = 0; pane < m_nPanes; ++pane) {
    if (!all && !m_aMoving[pane]) continue;  // a still pane's frame is on screen already
    m_canvases[pane]->SetPauseMarks(m_bPauseMark);
    m_aMoving[pane] = m_canvases[pane]->Present(m_hDC, now);
    more |= m_aMoving[pane];
  }
  if (more && !m_bFrames) SetTimer(m_hWnd, kFrameTimer, kFrameMs, nullptr);
  if (!more && m_bFrames) KillTimer(m_hWnd, kFrameTimer);
  m_bFrames = more;
}
