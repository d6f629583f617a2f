// The window that shows the pictures. It routes messages: the slideshow's
// decisions are Slideshow's, or MonitorShow's when the screens take turns,
// the pictures are made ready by a worker thread and the frames composed,
// faded and moved by a ShowCanvas for each pane. Full screen (preview flag
// 0) a one-second timer steps through the current collection, remembering
// each picture's number; as the dialog's preview (flag 1) it shows picture 1
// of whichever collection is current. Full screen it covers every monitor
// and draws the picture and its title on each, placed in that monitor's
// rectangle: one picture on all of them in one pane, or with
// EachMonitor a pane and a picture for each monitor.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "saver/picture_worker.h"
#include "saver/monitor_show.h"
#include "saver/prepared_picture.h"
#include "saver/saver_wnd.h"
#include "saver/screen_layout.h"
#include "saver/settings_writer.h"
#include "saver/show_canvas.h"
#include "saver/slideshow.h"
#include "settings/saver_settings.h"

class PictureWnd : public SaverWnd {
 public:
  // Shows the collection `settings` names, which the window reads as it
  // goes; full screen it writes the show's place to `settingsFile` and
  // moves `settings` on with it. A minute of BlankAfter lasts `minuteMs`.
  PictureWnd(BOOL bPreview, SaverSettings* settings, const std::string& settingsFile, DWORD minuteMs = 60000);
  ~PictureWnd() override;

  // Shows picture 1 of the current collection anew, also when its name is
  // the one shown (its file may have changed), as soon as it is made; black
  // when there is none.
  void ShowCurrentAgain();

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  // Any id but the frame's and the mark's counts as a tick; the turn timer
  // wakes the show when a screen's change is due.
  enum { kTickTimer = 1, kFrameTimer = 2, kMarkTimer = 3, kTurnTimer = 4 };

  LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
  void OnDestroy();
  void Follow(const ShowSteps& steps);
  void Follow(const RotaSteps& steps);
  // The pause mark shows for a while on pausing; going on, or a change,
  // takes it away. Then the motion holds or goes on with the show.
  BOOL MarkAndHold(BOOL paused, BOOL changed);
  // The show is over: every pane fades to black and stays so.
  void FadeOut();
  // An order for `pane`'s screens as the settings say; sent, or failed at
  // once when the worker cannot run.
  PictureOrder NewOrder(int pane, unsigned generation) const;
  void Send(const PictureOrder& order);
  void FindScreens();
  // One pane over all the screens, or one for each; their canvases made
  // anew when that changes.
  void Arrange();
  BOOL Stretched() const;
  Shape PaneShape(int pane) const;

  // Puts `picture` (taken from it) or black on `pane`'s canvas, fading in as
  // the settings say or over `fadeMs` when that is given.
  void Compose(int pane, PreparedPicture* picture, int fadeMs = -1);
  // How long a picture put up now on `pane` shows, its fades included.
  int ShowMs(int pane) const;
  // The frame due at `now` on the screen, with the pause mark while it
  // shows, on every pane or (`all` FALSE) those still fading or moving; the
  // next is asked for while a fade or a motion goes on.
  void Present(DWORD now, BOOL all = TRUE);

  SaverSettings& m_settings;
  Slideshow m_show;
  MonitorShow m_turns;
  BOOL m_bTurns;  // the screens take turns (PairPortraits, or EachMonitor over monitors): m_turns decides
  PictureWorker m_worker;
  SettingsWriter m_writer;
  PreparedPicture m_ready;  // made ahead, waiting for its turn
  std::unique_ptr<ShowCanvas> m_canvases[kMaxScreens];
  RECT m_rcPanes[kMaxScreens];  // client coordinates of each canvas
  int m_nPanes;
  BOOL m_aMoving[kMaxScreens];  // the pane's last frame asked for another
  BOOL m_bEach;   // a pane for each screen
  BOOL m_bMatch;  // panes of both shapes: each looks ahead for its own
  HDC m_hDC;
  RECT m_rcScreens[kMaxScreens];  // client coordinates
  int m_nScreens;
  short m_cxClient;
  short m_cyClient;
  BOOL m_bPreview;
  BOOL m_bPauseMark;
  BOOL m_bFrames;      // the frame timer runs
  BOOL m_bComposited;  // the desktop has a compositor, whose frames pace ours
};
