// The window that shows the pictures. It routes messages: the slideshow's
// decisions are Slideshow's, the pictures are made ready by a worker thread
// and the frames composed, faded and moved by its ShowCanvas. Full screen (preview flag
// 0) a one-second timer steps through the current collection, remembering
// each picture's number; as the dialog's preview (flag 1) it shows picture 1
// of whichever collection is current. Full screen it covers every monitor
// and draws the picture and its title on each, placed in that monitor's
// rectangle.
#pragma once

#include <windows.h>

#include <string>

#include "saver/picture_worker.h"
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
  enum { kTickTimer = 1, kFrameTimer = 2, kMarkTimer = 3 };  // any id but these two counts as a tick

  LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
  void OnDestroy();
  void Follow(const ShowSteps& steps);
  void FindScreens();
  BOOL Stretched() const;

  // Puts `picture` (taken from it) or black on the canvas, fading in as the
  // settings say or over `fadeMs` when that is given.
  void Compose(PreparedPicture* picture, int fadeMs = -1);
  // How long a picture put up now shows, its fades included.
  int ShowMs() const;
  // The frame due at `now` on the screen, with the pause mark while it
  // shows; the next is asked for while a fade or a motion goes on.
  void Present(DWORD now);

  SaverSettings& m_settings;
  Slideshow m_show;
  PictureWorker m_worker;
  SettingsWriter m_writer;
  PreparedPicture m_ready;  // made ahead, waiting for its turn
  ShowCanvas m_canvas;
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
