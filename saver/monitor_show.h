// The show's decisions when its screens take turns: each group of screens
// (a monitor, or all of them as one) shows its own picture, or a pair, and
// changes ChangeDelay after its last change, the groups a ChangeDelay
// divided by their number apart, so that one change at a time draws the eye.
// Which pictures a group takes is PictureRota's; this class says when, for
// which group a picture is made ahead, and what the keys, a picture late or
// failed, a pause, the blank after a while and a new arrangement of the
// monitors do.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/win.h"
#include "saver/picture_rota.h"
#include "saver/screen_layout.h"
#include "saver/show_keys.h"
#include "settings/saver_settings.h"

// What the window does after an event, in this order.
struct RotaSteps {
  // kShow: the picture made goes up on `group`; kFadeOut: the show is over,
  // every group fades to black and stays so.
  enum Screen { kKeep, kShow, kFadeOut };
  BOOL turn = FALSE;  // CurrentPicture moved on: write it
  Screen screen = kKeep;
  int group = -1;
  BOOL paused = FALSE;  // the show has just paused: the pause mark shows
  // >= 0: have a picture made for this group under `generation`, chosen
  // among `candidates`, or, going back, `back[0]` with `back[1]` beside it.
  int ask = -1;
  unsigned generation = 0;
  int candidates[kRotaWindow] = {};
  int candidateCount = 0;
  int back[2] = {};
  // The picture made waits for its group's turn, due in this long; 0: the
  // show waits for a picture or a key, not for the clock.
  DWORD wakeMs = 0;
};

class MonitorShow {
 public:
  // A minute of BlankAfter lasts `minuteMs` (shorter only in tests).
  explicit MonitorShow(DWORD minuteMs = 60000);

  // The window is up at `now` over `groups` groups (1 to kMaxScreens): the
  // shuffled round is settled (a new one from `fresh`) and the groups are
  // filled one after the other as fast as their pictures are made.
  RotaSteps Start(SaverSettings* settings, uint32_t fresh, int groups, DWORD now);
  // The monitors changed: `groups` groups, all black, filled again in turn;
  // what was being made is dropped, and the order goes on where it was.
  RotaSteps Regroup(int groups, DWORD now);
  // The clock: a group whose turn has come takes the picture made for it;
  // BlankAfter ends the show.
  RotaSteps Tick(SaverSettings* settings, DWORD now);
  // A key of the running show: kNext changes the group due next now; kBack
  // undoes the newest change, its group showing again what it showed
  // before; kPause holds every group's clock, and going on shifts them all
  // by the time paused.
  RotaSteps Key(KeyAction action, SaverSettings* settings, DWORD now);
  // The picture asked for under `generation` is made (`ok`) or failed;
  // `choice` says which candidates it took.
  RotaSteps Arrived(unsigned generation, BOOL ok, RotaChoice choice, SaverSettings* settings, DWORD now);
  // The window is going: nothing it asked for is wanted any more.
  void Stop() { m_bStopped = TRUE; }
  BOOL Paused() const { return m_bPaused; }
  BOOL Running() const { return !m_bStopped; }
  // How long from `now` until `group` changes next (0 once due or unknown),
  // paused or not: the time its picture has left.
  DWORD Left(int group, DWORD now) const;

 private:
  enum State { kNone, kMaking, kReady, kFailed };
  struct Group {
    bool filled;  // it has shown a picture since the start or the last regrouping
    DWORD due;    // its next change
  };
  struct Change {
    int group, first, second;
  };
  RotaSteps Ask(RotaSteps steps, DWORD now);
  RotaSteps PutUp(RotaSteps steps, SaverSettings* settings, DWORD now);
  RotaSteps Wait(RotaSteps steps, DWORD now) const;
  bool Due(int group, DWORD now) const;
  void Remember(int group, int first, int second);

  DWORD m_dwMinuteMs;
  DWORD m_dwStarted = 0;
  DWORD m_dwPeriod = 1000;  // ChangeDelay in milliseconds
  BOOL m_bStopped = FALSE;
  BOOL m_bPaused = FALSE;
  DWORD m_dwPausedAt = 0;
  std::optional<PictureRota> m_rota;
  Group m_groups[kMaxScreens] = {};
  int m_nGroups = 0;
  bool m_bFirstFilled = false;  // the groups' turns count from the first picture up
  DWORD m_dwFirst = 0;
  // The order out: for which group, under which generation, and how far.
  int m_nAsked = -1;
  unsigned m_nGeneration = 0;
  State m_state = kNone;
  bool m_bBack = false;    // the order is a change undone
  bool m_bForced = false;  // a key asked for the change: it goes up as soon as it is made
  int m_aCands[kRotaWindow] = {};  // what the order chooses among
  int m_nCands = 0;
  RotaChoice m_choice;
  int m_back[2] = {};
  int m_nFailures = 0;  // failed in a row while filling a black group
  // The changes made, newest last: what kBack undoes.
  enum { kChanges = 100 };
  Change m_changes[kChanges] = {};
  int m_nChanges = 0;
};
