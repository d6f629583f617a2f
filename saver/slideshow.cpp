#include "saver/slideshow.h"

#include "saver/show_order.h"
#include "saver/tick_rule.h"

Slideshow::Slideshow(BOOL preview)
    : m_bPreview(preview), m_bStopped(FALSE), m_nTicks(0), m_nAhead(0), m_nGeneration(0), m_state(kNone),
      m_bDue(FALSE) {
  m_szSetName[0] = '\0';
}

ShowSteps Slideshow::Ask(ShowSteps steps, int number) {
  m_nAhead = number;
  m_state = kMaking;
  steps.ask = number;
  steps.generation = ++m_nGeneration;
  return steps;
}

ShowSteps Slideshow::Start(SaverSettings* settings, uint32_t fresh) {
  // The first tick changes the picture: the one made ready meanwhile.
  m_nTicks = TicksFromDelay(settings->ChangeDelay);
  const ShowSteps none = {};
  if (m_bPreview || m_bStopped) return none;
  BeginShow(settings, fresh);
  return Ask(none, NextPicture(*settings));
}

ShowSteps Slideshow::Tick(SaverSettings* settings) {
  const ShowSteps none = {};
  if (m_bStopped || !CountTick(m_szSetName, &m_nTicks, *settings, m_bPreview)) return none;
  if (m_bPreview) {
    m_bDue = TRUE;  // picture 1 of the collection just noticed; anything older is dropped
    return Ask(none, 1);
  }
  // The picture whose turn came last is still being made: this change waits
  // for it rather than queueing behind it.
  if (m_bDue) return none;
  ShowSteps steps = none;
  TurnToNextPicture(settings);
  steps.turn = TRUE;
  if (m_state == kNone || m_nAhead != settings->CurrentPicture) {
    m_bDue = TRUE;
    return Ask(steps, settings->CurrentPicture);
  }
  if (m_state == kMaking) {
    m_bDue = TRUE;
    return steps;
  }
  return PutUp(steps, *settings);
}

ShowSteps Slideshow::Arrived(unsigned generation, BOOL ok, const SaverSettings& settings) {
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
  return PutUp(steps, settings);
}

ShowSteps Slideshow::PutUp(ShowSteps steps, const SaverSettings& settings) {
  // A failed picture counts as shown: full screen the one before stays; the
  // preview, which shows the collection picked, goes black.
  steps.screen = m_state == kReady ? ShowSteps::kShow : m_bPreview ? ShowSteps::kBlank : ShowSteps::kKeep;
  m_bDue = FALSE;
  m_state = kNone;
  if (m_bPreview) return steps;
  return Ask(steps, NextPicture(settings));
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
