// The slideshow's decisions, apart from the window and the worker thread:
// which picture to have made ready, when a picture's turn comes, and what a
// picture that is late, failed or no longer wanted does to the screen.
#pragma once

#include <cstdint>

#include "platform/win.h"
#include "settings/saver_settings.h"

// What the window does after an event, in this order.
struct ShowSteps {
  enum Screen { kKeep, kShow, kBlank };
  BOOL turn;            // CurrentPicture moved on: write it, look up its title
  Screen screen;        // put the picture made ready on screen, or black, or leave it
  BOOL restartTimer;    // a late picture is up: its time starts now
  int ask;              // > 0: have this picture made ready, under `generation`
  unsigned generation;
};

class Slideshow {
 public:
  explicit Slideshow(BOOL preview);

  // The window is up: full screen, the round to shuffle in is settled (a
  // new one from `fresh`) and the first picture is made ready at once.
  ShowSteps Start(SaverSettings* settings, uint32_t fresh);
  // One timer tick; full screen, a change moves CurrentPicture on.
  ShowSteps Tick(SaverSettings* settings);
  // The picture asked for under `generation` is made (`ok`) or failed.
  ShowSteps Arrived(unsigned generation, BOOL ok, const SaverSettings& settings);
  // The preview shows picture 1 of the current collection anew (its file may
  // have changed), or black when there is none.
  ShowSteps ShowAgain(SaverSettings* settings);
  // The window is going: nothing it asked for is wanted any more.
  void Stop() { m_bStopped = TRUE; }

 private:
  enum State { kNone, kMaking, kReady, kFailed };
  ShowSteps Ask(ShowSteps steps, int number);
  ShowSteps PutUp(ShowSteps steps, const SaverSettings& settings);

  BOOL m_bPreview;
  BOOL m_bStopped;
  char m_szSetName[kNameSize];
  short m_nTicks;
  int m_nAhead;          // the picture asked for last
  unsigned m_nGeneration;
  State m_state;
  BOOL m_bDue;           // its turn has come, but it is not made yet
};
