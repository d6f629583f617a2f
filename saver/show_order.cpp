#include "saver/show_order.h"

#include <cstdio>
#include <cstring>

#include "saver/tick_rule.h"

namespace {

uint32_t Mix(uint32_t x) {
  x ^= x >> 16;
  x *= 0x85ebca6bu;
  x ^= x >> 13;
  x *= 0xc2b2ae35u;
  return x ^ (x >> 16);
}

bool Shuffling(const SaverSettings& s) { return s.Shuffle != 0 && s.PictureCount > 0; }

bool RoundGoesOn(const SaverSettings& s) {
  return s.ShuffleCount == s.PictureCount && strcmp(s.ShuffleSet, s.CurrentSet) == 0 && s.ShuffleStep >= 1 &&
         s.ShuffleStep <= s.PictureCount && ShuffledPicture(s.ShuffleSeed, s.PictureCount, s.ShuffleStep) == s.CurrentPicture;
}

}  // namespace

int ShuffledPicture(uint32_t seed, int count, int step) {
  if (count < 1 || step < 1 || step > count) return 1;
  // A Feistel network over the smallest even power of two that holds
  // `count`: a bijection there; steps it takes past `count` walk on
  // through it until they come back inside.
  int half = 1;
  while ((uint64_t(1) << (2 * half)) < uint64_t(count)) ++half;
  const uint32_t mask = (uint32_t(1) << half) - 1;
  uint32_t x = uint32_t(step - 1);
  do {
    uint32_t left = x >> half, right = x & mask;
    for (uint32_t round = 1; round <= 4; ++round) {
      const uint32_t next = left ^ (Mix(right ^ Mix(seed + round)) & mask);
      left = right;
      right = next;
    }
    x = left << half | right;
  } while (x >= uint32_t(count));
  return int(x) + 1;
}

uint32_t FollowingSeed(uint32_t seed, int count) {
  const int last = ShuffledPicture(seed, count, count);
  uint32_t next = Mix(seed + 0x9e3779b9u);
  while (count > 1 && ShuffledPicture(next, count, 1) == last) next = Mix(next + 0x9e3779b9u);
  return next;
}

void BeginShow(SaverSettings* s, uint32_t fresh) {
  if (!Shuffling(*s) || RoundGoesOn(*s)) return;
  s->ShuffleSeed = fresh;
  while (s->PictureCount > 1 && ShuffledPicture(s->ShuffleSeed, s->PictureCount, 1) == s->CurrentPicture)
    s->ShuffleSeed = Mix(s->ShuffleSeed + 0x9e3779b9u);
  s->ShuffleStep = 0;
  s->ShuffleCount = s->PictureCount;
  snprintf(s->ShuffleSet, sizeof s->ShuffleSet, "%s", s->CurrentSet);
}

int NextPicture(const SaverSettings& s) {
  if (!Shuffling(s)) return NextPictureNumber(s.CurrentPicture, s.PictureCount);
  if (s.ShuffleStep < s.PictureCount) return ShuffledPicture(s.ShuffleSeed, s.PictureCount, s.ShuffleStep + 1);
  return ShuffledPicture(FollowingSeed(s.ShuffleSeed, s.PictureCount), s.PictureCount, 1);
}

void TurnToNextPicture(SaverSettings* s) {
  s->CurrentPicture = NextPicture(*s);
  if (!Shuffling(*s)) return;
  if (s->ShuffleStep < s->PictureCount) {
    ++s->ShuffleStep;
  } else {
    s->ShuffleSeed = FollowingSeed(s->ShuffleSeed, s->PictureCount);
    s->ShuffleStep = 1;
  }
}
