#include "saver/slideshow.h"

#include "saver/show_order.h"
#include "saver/tick_rule.h"

Slideshow::Slideshow(BOOL preview, DWORD minuteMs)
    : m_bPreview(preview), m_bStopped(FALSE), m_nTicks(0), m_nAhead(0), m_nGeneration(0), m_state(kNone),
      m_bDue(FALSE), m_bPaused(FALSE), m_queued(KeyAction::kEnd), m_dwMinuteMs(minuteMs), m_dwStarted(0) {
  m_szSetName[0] = '\0';
}

ShowSteps Slideshow::Ask(ShowSteps steps, int number) {
  m_nAhead = number;
  m_state = kMaking;
  steps.ask = number;
  steps.generation = ++m_nGeneration;
  return steps;
}

ShowSteps Slideshow::Start(SaverSettings* settings, uint32_t fresh, DWORD now) {
  // The first tick changes the picture: the one made ready meanwhile.
  m_nTicks = TicksFromDelay(settings->ChangeDelay);
  m_dwStarted = now;
  const ShowSteps none = {};
  if (m_bPreview || m_bStopped) return none;
  BeginShow(settings, fresh);
  return Ask(none, NextPicture(*settings));
}

ShowSteps Slideshow::Tick(SaverSettings* settings, DWORD now) {
  ShowSteps steps = {};
  if (m_bStopped) return steps;
  // A pause does not hold the count: the blank is for the screen's sake.
  // The record holds BlankAfter within 0..kBlankAfterMax, as loaded or typed.
  if (!m_bPreview && settings->BlankAfter > 0 && now - m_dwStarted >= DWORD(settings->BlankAfter) * m_dwMinuteMs) {
    m_bStopped = TRUE;
    steps.screen = ShowSteps::kFadeOut;
    return steps;
  }
  if (m_bPaused || !CountTick(m_szSetName, &m_nTicks, *settings, m_bPreview)) return steps;
  if (m_bPreview) {
    m_bDue = TRUE;  // picture 1 of the collection just noticed; anything older is dropped
    return Ask(steps, 1);
  }
  // The picture whose turn came last is still being made: this change waits
  // for it rather than queueing behind it.
  if (m_bDue) return steps;
  return Turn(steps, settings);
}

ShowSteps Slideshow::Key(KeyAction action, SaverSettings* settings) {
  ShowSteps steps = {};
  if (m_bPreview || m_bStopped) return steps;
  if (action == KeyAction::kPause) {
    m_bPaused = !m_bPaused;
    steps.paused = m_bPaused;
    if (!m_bPaused) steps.restartTimer = TRUE, m_nTicks = 0;  // going on with a whole delay
    return steps;
  }
  if (action != KeyAction::kNext && action != KeyAction::kBack) return steps;
  if (m_bDue) {
    if (m_queued == KeyAction::kEnd) m_queued = action;
    return steps;
  }
  int back = 0;
  if (action == KeyAction::kBack && !m_history.Back(&back)) return steps;  // at the oldest: it stays
  steps.restartTimer = TRUE;
  m_nTicks = 0;
  if (action == KeyAction::kNext) return Turn(steps, settings);
  // Going back moves only the number on screen: a shuffled round counts on
  // from the newest picture, so none of it comes twice.
  settings->CurrentPicture = back;
  return Bring(steps, *settings);
}

ShowSteps Slideshow::Turn(ShowSteps steps, SaverSettings* settings) {
  int number = 0;
  if (m_history.Forward(&number)) {
    settings->CurrentPicture = number;
  } else {
    TurnToNextPicture(settings);
    m_history.Add(settings->CurrentPicture);
  }
  return Bring(steps, *settings);
}

ShowSteps Slideshow::Bring(ShowSteps steps, const SaverSettings& settings) {
  steps.turn = TRUE;
  if (m_state == kNone || m_nAhead != settings.CurrentPicture) {
    m_bDue = TRUE;
    return Ask(steps, settings.CurrentPicture);
  }
  if (m_state == kMaking) {
    m_bDue = TRUE;
    return steps;
  }
  return PutUp(steps, settings);
}

ShowSteps Slideshow::Arrived(unsigned generation, BOOL ok, SaverSettings* settings) {
  const ShowSteps none = {};
  if (m_bStopped || generation != m_nGeneration || m_state != kMaking) return none;
  m_state = ok ? kReady : kFailed;
  if (!m_bDue) return none;  // made ahead: it waits for its turn
  ShowSteps steps = none;
  if (!m_bPreview) {
    // Late: the picture gets its whole time from now.
    steps.restartTimer = TRUE;
    m_nTicks = 0;
  }
  steps = PutUp(steps, *settings);
  if (m_queued == KeyAction::kEnd) return steps;
  // The change waiting behind this picture comes now; the screen is this one's.
  const ShowSteps more = Key(m_queued, settings);
  m_queued = KeyAction::kEnd;
  steps.turn |= more.turn;
  steps.restartTimer |= more.restartTimer;
  if (more.ask) steps.ask = more.ask, steps.generation = more.generation;
  return steps;
}

ShowSteps Slideshow::PutUp(ShowSteps steps, const SaverSettings& settings) {
  // A failed picture counts as shown: full screen the one before stays; the
  // preview, which shows the collection picked, goes black.
  steps.screen = m_state == kReady ? ShowSteps::kShow : m_bPreview ? ShowSteps::kBlank : ShowSteps::kKeep;
  m_bDue = FALSE;
  m_state = kNone;
  if (m_bPreview) return steps;
  const int ahead = m_history.Ahead();
  return Ask(steps, ahead ? ahead : NextPicture(settings));
}

ShowSteps Slideshow::ShowAgain(SaverSettings* settings) {
  m_szSetName[0] = '\0';
  ShowSteps steps = Tick(settings);
  if (steps.ask || m_bStopped) return steps;
  // No collection: whatever was being made for the one before is dropped.
  ++m_nGeneration;
  m_state = kNone;
  steps.screen = ShowSteps::kBlank;
  return steps;
}
