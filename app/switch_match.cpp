#include "app/switch_match.h"

namespace {

const uint64_t kNoWindow = uint64_t(1) << 32;

// The whole of `text` as a decimal number: -1 when it is empty or holds
// anything else; numbers past 32 bits come back as kNoWindow.
int64_t ParseWindowNumber(const char* text) {
  if (*text == '\0') return -1;
  uint64_t n = 0;
  for (; *text; ++text) {
    if (*text < '0' || *text > '9') return -1;
    n = n * 10 + unsigned(*text - '0');
    if (n >= kNoWindow) n = kNoWindow;  // saturates, so any length is safe
  }
  return int64_t(n);
}

uint32_t AsWindow(int64_t number) { return number < 0 || uint64_t(number) >= kNoWindow ? 0 : uint32_t(number); }

}  // namespace

BOOL MatchSwitch(const char* argument, const char* name) {
  if (argument[0] == '-' || argument[0] == '/') argument++;
  return lstrcmpiA(argument, name) == 0;
}

RunChoice ChooseRunMode(const char* argument1, const char* argument2) {
  const RunChoice none = {RUN_NONE, 0};
  if (argument1 == nullptr) return RunChoice{RUN_CONFIGURE, 0};
  if (MatchSwitch(argument1, "s")) return RunChoice{RUN_SLIDESHOW, 0};
  if (MatchSwitch(argument1, "w")) return argument2 && *argument2 ? RunChoice{RUN_SET_WALLPAPER, 0} : none;

  const char* rest = argument1 + (argument1[0] == '-' || argument1[0] == '/');
  const char letter = rest[0] | 0x20;  // lower case for letters
  if (letter != 'c' && letter != 'p') return none;
  const RunMode mode = letter == 'c' ? RUN_CONFIGURE : RUN_PREVIEW;
  rest++;

  int64_t number;
  if (*rest == '\0') {
    // The handle, if any, is the next argument; "c" configures without one.
    number = argument2 ? ParseWindowNumber(argument2) : -1;
    if (number < 0 && mode == RUN_PREVIEW) return none;
  } else {
    // A colon and/or spaces before the number; "p" may also have neither.
    const char* digits = rest;
    while (*digits == ' ') ++digits;
    if (*digits == ':') ++digits;
    while (*digits == ' ') ++digits;
    if (digits == rest && mode == RUN_CONFIGURE) return none;
    number = ParseWindowNumber(digits);
    if (number < 0) return none;
  }
  return RunChoice{mode, AsWindow(number)};
}
