// The order of names where the system's comparison is not at hand: digit
// runs compare by value and go before other characters; other characters
// compare without regard to case. Runs of any length compare without
// overflow: leading zeros are skipped, then the longer run is the larger.
#include "settings/name_order.h"

#include <cwctype>

namespace {
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
}  // namespace

int CompareNamesLogically(const wchar_t* a, const wchar_t* b) {
  while (*a && *b) {
    if (IsDigit(*a) && IsDigit(*b)) {
      while (*a == L'0') ++a;
      while (*b == L'0') ++b;
      const wchar_t* aEnd = a;
      const wchar_t* bEnd = b;
      while (IsDigit(*aEnd)) ++aEnd;
      while (IsDigit(*bEnd)) ++bEnd;
      if (aEnd - a != bEnd - b) return aEnd - a < bEnd - b ? -1 : 1;
      for (; a < aEnd; ++a, ++b)
        if (*a != *b) return *a < *b ? -1 : 1;
      b = bEnd;
      continue;
    }
    if (IsDigit(*a) != IsDigit(*b)) return IsDigit(*a) ? -1 : 1;
    const wint_t la = towlower(static_cast<wint_t>(*a));
    const wint_t lb = towlower(static_cast<wint_t>(*b));
    if (la != lb) return la < lb ? -1 : 1;
    ++a;
    ++b;
  }
  if (*a) return 1;
  return *b ? -1 : 0;
}
