#include "saver/monitor_show.h"

#include <algorithm>

#include "saver/show_order.h"

namespace {
// Ahead of this much, a change counts as on time and its group keeps its
// place among the turns; later, the picture gets its whole time from now.
DWORD LateAfter(DWORD period) { return std::min<DWORD>(1000, period / 2); }

bool Reached(DWORD due, DWORD now) { return int32_t(now - due) >= 0; }
}  // namespace

MonitorShow::MonitorShow(DWORD minuteMs) : m_dwMinuteMs(minuteMs) {}

RotaSteps MonitorShow::Start(SaverSettings* settings, uint32_t fresh, int groups, DWORD now) {
  m_dwStarted = now;
  // A day at most: a longer delay changes as seldom as one of a day.
  m_dwPeriod = DWORD(std::clamp(settings->ChangeDelay, 1, 86400)) * 1000;
  BeginShow(settings, fresh);
  m_rota.emplace(*settings);
  return Regroup(groups, now);
}

RotaSteps MonitorShow::Regroup(int groups, DWORD now) {
  m_nGroups = std::clamp(groups, 1, int(kMaxScreens));
  for (Group& group : m_groups) group = {false, now};
  m_bFirstFilled = false;
  // What was made for the old arrangement is dropped; the changes made on
  // it undo nothing on the new one.
  ++m_nGeneration;
  m_state = kNone;
  m_nChanges = 0;
  m_nFailures = 0;
  if (m_bStopped || !m_rota) return RotaSteps();
  return Ask(RotaSteps(), now);
}

RotaSteps MonitorShow::Ask(RotaSteps steps, DWORD now) {
  // The group due soonest: a black one first, for it is due since it was made.
  int next = 0;
  for (int g = 1; g < m_nGroups; ++g)
    if (int32_t(m_groups[g].due - now) < int32_t(m_groups[next].due - now)) next = g;
  m_nCands = m_rota->Candidates(m_aCands);
  if (m_nCands == 0) {
    m_state = kNone;  // no pictures: every group stays as it is
    return steps;
  }
  m_nAsked = next;
  m_state = kMaking;
  m_bBack = false;
  steps.ask = next;
  steps.generation = ++m_nGeneration;
  std::copy(m_aCands, m_aCands + m_nCands, steps.candidates);
  steps.candidateCount = m_nCands;
  return steps;
}

RotaSteps MonitorShow::Wait(RotaSteps steps, DWORD now) const {
  steps.wakeMs = 0;
  if (m_bPaused || (m_state != kReady && m_state != kFailed)) return steps;
  steps.wakeMs = DWORD(std::max<int32_t>(int32_t(m_groups[m_nAsked].due - now), 1));
  return steps;
}

RotaSteps MonitorShow::Tick(SaverSettings* settings, DWORD now) {
  if (m_bStopped) return RotaSteps();
  // A pause does not hold the count: the blank is for the screen's sake.
  if (settings->BlankAfter > 0 && now - m_dwStarted >= DWORD(settings->BlankAfter) * m_dwMinuteMs) {
    m_bStopped = TRUE;
    RotaSteps steps;
    steps.screen = RotaSteps::kFadeOut;
    return steps;
  }
  const bool ready = m_state == kReady || m_state == kFailed;
  if (ready && !m_bPaused && Reached(m_groups[m_nAsked].due, now)) return PutUp(RotaSteps(), settings, now);
  return Wait(RotaSteps(), now);
}

RotaSteps MonitorShow::Arrived(unsigned generation, BOOL ok, RotaChoice choice, SaverSettings* settings, DWORD now) {
  if (m_bStopped || generation != m_nGeneration || m_state != kMaking) return RotaSteps();
  m_state = ok ? kReady : kFailed;
  m_choice = choice;
  const Group& group = m_groups[m_nAsked];
  // A black group takes its picture at once, paused or not, unless its
  // pictures keep failing; so does a change asked for by a key.
  if (m_bBack || m_bForced || ((!m_bPaused || !group.filled) && Reached(group.due, now)))
    return PutUp(RotaSteps(), settings, now);
  return Wait(RotaSteps(), now);
}

RotaSteps MonitorShow::PutUp(RotaSteps steps, SaverSettings* settings, DWORD now) {
  const int g = m_nAsked;
  Group& group = m_groups[g];
  const bool shown = m_state == kReady;
  // A failed picture counts as shown: the group keeps what it shows.
  steps.screen = shown ? RotaSteps::kShow : RotaSteps::kKeep;
  steps.group = g;
  steps.turn = TRUE;
  m_state = kNone;
  if (m_bBack) {
    // Going back moves only the number on screen, as the one-picture show's
    // step back does: the order goes on from the newest picture taken.
    settings->CurrentPicture = m_back[1] ? m_back[1] : m_back[0];
  } else {
    const auto number = [&](int i) { return i >= 0 && i < m_nCands ? m_aCands[i] : 0; };
    Remember(g, number(m_choice.first), number(m_choice.second));
    m_rota->Take(m_choice, settings);
  }
  const bool keyed = m_bBack || m_bForced;
  m_bBack = m_bForced = false;
  if (!group.filled) {
    if (shown) {
      group.filled = true;
      m_nFailures = 0;
      // Each group's turn comes a share of the delay after the one before.
      if (!m_bFirstFilled) m_bFirstFilled = true, m_dwFirst = now;
      const DWORD turn = m_dwFirst + m_dwPeriod + DWORD(uint64_t(m_dwPeriod) * g / m_nGroups);
      group.due = int32_t(turn - now) > 0 ? turn : now + m_dwPeriod;
    } else if (++m_nFailures >= kRotaWindow) {
      // Picture after picture fails: the black group tries again a delay on,
      // rather than reading the whole collection at once.
      group.due = now + m_dwPeriod;
      m_nFailures = 0;
    }
  } else {
    const bool late = keyed || int32_t(now - group.due) > int32_t(LateAfter(m_dwPeriod));
    group.due = (late ? now : group.due) + m_dwPeriod;
  }
  return Wait(Ask(steps, now), now);
}

RotaSteps MonitorShow::Key(KeyAction action, SaverSettings* settings, DWORD now) {
  RotaSteps steps;
  if (m_bStopped) return steps;
  if (action == KeyAction::kPause) {
    m_bPaused = !m_bPaused;
    steps.paused = m_bPaused;
    if (m_bPaused) {
      m_dwPausedAt = now;
    } else {
      // Every clock held: each group has what it had left.
      for (Group& group : m_groups) group.due += now - m_dwPausedAt;
    }
    return Wait(steps, now);
  }
  // One change at a time: a key while a change undone is being made waits
  // for nothing and does nothing.
  if (m_bBack) return Wait(steps, now);
  if (action == KeyAction::kNext) {
    if (m_state == kNone) return Wait(steps, now);
    m_bForced = true;
    if (m_state == kMaking) return steps;  // it goes up as soon as it is made
    return PutUp(steps, settings, now);
  }
  if (action != KeyAction::kBack || m_nChanges < 2) return Wait(steps, now);
  const Change newest = m_changes[m_nChanges - 1];
  int before = m_nChanges - 2;
  while (before >= 0 && m_changes[before].group != newest.group) --before;
  if (before < 0) return Wait(steps, now);  // the group's first picture: it stays
  --m_nChanges;
  // The order out, for whichever group, is dropped; it is asked again once
  // the change is undone.
  m_nAsked = newest.group;
  m_state = kMaking;
  m_bBack = true;
  m_back[0] = m_changes[before].first;
  m_back[1] = m_changes[before].second;
  steps.ask = m_nAsked;
  steps.generation = ++m_nGeneration;
  steps.back[0] = m_back[0];
  steps.back[1] = m_back[1];
  return steps;
}

void MonitorShow::Remember(int group, int first, int second) {
  if (m_nChanges == kChanges) {
    std::copy(m_changes + 1, m_changes + kChanges, m_changes);  // the oldest makes room
    --m_nChanges;
  }
  m_changes[m_nChanges++] = {group, first, second};
}

DWORD MonitorShow::Left(int group, DWORD now) const {
  if (group < 0 || group >= m_nGroups) return 0;
  const int32_t left = int32_t(m_groups[group].due - (m_bPaused ? m_dwPausedAt : now));
  return left > 0 ? DWORD(left) : 0;
}
