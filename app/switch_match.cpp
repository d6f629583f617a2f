#include "app/switch_match.h"

BOOL MatchSwitch(const char* argument, const char* name) {
  if (argument[0] == '-' || argument[0] == '/') argument++;
  return lstrcmpiA(argument, name) == 0;
}

RunMode ChooseRunMode(const char* argument1) {
  if (argument1 == nullptr || MatchSwitch(argument1, "c")) return RUN_CONFIGURE;
  if (MatchSwitch(argument1, "s")) return RUN_SLIDESHOW;
  return RUN_NONE;
}
