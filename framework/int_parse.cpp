#include "framework/int_parse.h"

#include <climits>
#include <cstdint>
#include <cstring>

namespace {

bool IsBlankOrTab(char c) { return c == ' ' || c == '\t'; }

}  // namespace

BOOL ParseDialogInt(const char* text, int* value) {
  // Only what a 32-byte field buffer would hold is looked at.
  const char* p = text;
  const char* end = text + strnlen(text, kIntFieldChars);
  while (p < end && IsBlankOrTab(*p)) ++p;
  bool minus = false;
  if (p < end && (*p == '+' || *p == '-')) minus = *p++ == '-';
  if (p == end || *p < '0' || *p > '9') return FALSE;
  int64_t magnitude = 0;
  const int64_t limit = minus ? -static_cast<int64_t>(INT_MIN) : INT_MAX;
  for (; p < end && *p >= '0' && *p <= '9'; ++p) {
    magnitude = magnitude * 10 + (*p - '0');
    if (magnitude > limit) return FALSE;
  }
  while (p < end && IsBlankOrTab(*p)) ++p;
  if (p != end) return FALSE;
  *value = static_cast<int>(minus ? -magnitude : magnitude);
  return TRUE;
}
