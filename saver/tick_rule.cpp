#include "saver/tick_rule.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "settings/saver_settings.h"

// The counter is a 16-bit short but ChangeDelay an int. A delay beyond the
// short's range would never be reached (and cutting it to 16 bits could
// make it negative), so the counter saturates at SHRT_MAX instead of
// wrapping and is compared with the delay clamped the same way: a delay of
// 32767 seconds or more changes the picture every 32767 ticks.

short TicksFromDelay(int changeDelay) {
  if (changeDelay > SHRT_MAX) return SHRT_MAX;
  if (changeDelay < SHRT_MIN) return SHRT_MIN;
  return static_cast<short>(changeDelay);
}

BOOL CountTick(char* setName, short* ticks, const SaverSettings& settings, BOOL preview) {
  if (strcmp(setName, settings.CurrentSet) != 0) {
    snprintf(setName, kNameSize, "%s", settings.CurrentSet);
    *ticks = TicksFromDelay(settings.ChangeDelay);
  } else if (preview) {
    return FALSE;  // the preview only changes with the collection
  }
  if (*ticks < SHRT_MAX) ++*ticks;
  int delay = settings.ChangeDelay < SHRT_MAX ? settings.ChangeDelay : SHRT_MAX;
  if (*ticks < delay) return FALSE;
  *ticks = 0;
  return TRUE;
}

int NextPictureNumber(int current, int count) {
  // current >= count also covers INT_MAX, whose successor would overflow.
  if (current >= count) return 1;
  return current + 1;
}
