// The slideshow's decisions, apart from the window and the worker thread:
// which picture to have made ready, when a picture's turn comes, and what a
// picture that is late, failed or no longer wanted does to the screen; the
// keys that step back and forth or pause, and the blank after a while.
#pragma once

#include <cstdint>

#include "platform/win.h"
#include "saver/show_history.h"
#include "saver/show_keys.h"
#include "settings/saver_settings.h"

// What the window does after an event, in this order.
struct ShowSteps {
  // kFadeOut: the show is over; the screen fades to black and stays so.
  enum Screen { kKeep, kShow, kBlank, kFadeOut };
  BOOL turn;            // CurrentPicture moved on: write it, look up its title
  Screen screen;        // put the picture made ready on screen, or black, or leave it
  BOOL restartTimer;    // a late picture is up, or a key changed it: its time starts now
  int ask;              // > 0: have this picture made ready, under `generation`
  unsigned generation;
  BOOL paused;          // the show has just paused: the pause mark shows
};

class Slideshow {
 public:
  // A minute of BlankAfter lasts `minuteMs` (shorter only in tests).
  explicit Slideshow(BOOL preview, DWORD minuteMs = 60000);

  // The window is up at `now` (ms): full screen, the round to shuffle in is
  // settled (a new one from `fresh`) and the first picture is made ready at once.
  ShowSteps Start(SaverSettings* settings, uint32_t fresh, DWORD now = 0);
  // One timer tick at `now`; full screen, a change moves CurrentPicture on,
  // to the next picture gone back over or else to a new one. Paused, ticks
  // change nothing; they end the show once BlankAfter has passed.
  ShowSteps Tick(SaverSettings* settings, DWORD now = 0);
  // A key of the running show (not kEnd or kPass): the next picture now, the
  // one before (up to 100 back), or pause and go on. Each change restarts
  // the delay; a change asked for while a picture is still being made for
  // its turn waits for it, one and no more.
  ShowSteps Key(KeyAction action, SaverSettings* settings);
  // The picture asked for under `generation` is made (`ok`) or failed.
  ShowSteps Arrived(unsigned generation, BOOL ok, SaverSettings* settings);
  // The preview shows picture 1 of the current collection anew (its file may
  // have changed), or black when there is none.
  ShowSteps ShowAgain(SaverSettings* settings);
  // The window is going: nothing it asked for is wanted any more.
  void Stop() { m_bStopped = TRUE; }
  BOOL Paused() const { return m_bPaused; }
  // Neither stopped nor over (blank after its while).
  BOOL Running() const { return !m_bStopped; }

 private:
  enum State { kNone, kMaking, kReady, kFailed };
  ShowSteps Ask(ShowSteps steps, int number);
  ShowSteps Turn(ShowSteps steps, SaverSettings* settings);
  ShowSteps Bring(ShowSteps steps, const SaverSettings& settings);
  ShowSteps PutUp(ShowSteps steps, const SaverSettings& settings);

  BOOL m_bPreview;
  BOOL m_bStopped;
  char m_szSetName[kNameSize];
  short m_nTicks;
  int m_nAhead;          // the picture asked for last
  unsigned m_nGeneration;
  State m_state;
  BOOL m_bDue;           // its turn has come, but it is not made yet
  BOOL m_bPaused;
  KeyAction m_queued;    // kNext or kBack waiting behind the picture due; kEnd: none
  ShowHistory m_history;
  DWORD m_dwMinuteMs;
  DWORD m_dwStarted;
};
